#pragma once

#include <optional>
#include <string>
#include <vector>

typedef struct _GMenuModel GMenuModel;

namespace pelko::e2e {

// The menu bar as GTK renders it, read back from the application's model.
struct RenderedItem {
    std::string label;
    std::string action;  // without the "app." prefix
    std::string accel;
};
struct RenderedMenu {
    std::string label;
    std::vector<std::vector<RenderedItem>> sections;
    std::vector<std::string> labels() const;
};

std::vector<RenderedMenu> readMenuBar(GMenuModel* model);
std::optional<RenderedItem> findItem(const std::vector<RenderedMenu>& menus, const std::string& label);
// Finds the item whose label starts with `prefix`.
std::optional<RenderedItem> findItemStartingWith(const std::vector<RenderedMenu>& menus, const std::string& prefix);

}  // namespace pelko::e2e
