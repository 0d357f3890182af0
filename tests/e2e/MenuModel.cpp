#include "MenuModel.h"

#include <gio/gio.h>

namespace pelko::e2e {

namespace {

std::string stringAttribute(GMenuModel* model, int index, const char* name) {
    gchar* value = nullptr;
    if (!g_menu_model_get_item_attribute(model, index, name, "s", &value)) return {};
    std::string out = value;
    g_free(value);
    return out;
}

}  // namespace

std::vector<std::string> RenderedMenu::labels() const {
    std::vector<std::string> out;
    for (const auto& section : sections) {
        for (const auto& item : section) out.push_back(item.label);
    }
    return out;
}

std::vector<RenderedMenu> readMenuBar(GMenuModel* model) {
    std::vector<RenderedMenu> menus;
    if (!model) return menus;
    for (int i = 0; i < g_menu_model_get_n_items(model); ++i) {
        RenderedMenu menu;
        menu.label = stringAttribute(model, i, G_MENU_ATTRIBUTE_LABEL);
        GMenuModel* submenu = g_menu_model_get_item_link(model, i, G_MENU_LINK_SUBMENU);
        if (!submenu) continue;
        for (int s = 0; s < g_menu_model_get_n_items(submenu); ++s) {
            GMenuModel* section = g_menu_model_get_item_link(submenu, s, G_MENU_LINK_SECTION);
            if (!section) continue;
            std::vector<RenderedItem> items;
            for (int k = 0; k < g_menu_model_get_n_items(section); ++k) {
                std::string action = stringAttribute(section, k, G_MENU_ATTRIBUTE_ACTION);
                if (action.rfind("app.", 0) == 0) action = action.substr(4);
                items.push_back({stringAttribute(section, k, G_MENU_ATTRIBUTE_LABEL), action,
                                 stringAttribute(section, k, "accel")});
            }
            menu.sections.push_back(items);
            g_object_unref(section);
        }
        g_object_unref(submenu);
        menus.push_back(menu);
    }
    return menus;
}

std::optional<RenderedItem> findItem(const std::vector<RenderedMenu>& menus, const std::string& label) {
    for (const auto& menu : menus) {
        for (const auto& section : menu.sections) {
            for (const auto& item : section) {
                if (item.label == label) return item;
            }
        }
    }
    return std::nullopt;
}

std::optional<RenderedItem> findItemStartingWith(const std::vector<RenderedMenu>& menus, const std::string& prefix) {
    for (const auto& menu : menus) {
        for (const auto& section : menu.sections) {
            for (const auto& item : section) {
                if (item.label.rfind(prefix, 0) == 0) return item;
            }
        }
    }
    return std::nullopt;
}

}  // namespace pelko::e2e
