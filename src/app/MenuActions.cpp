#include "app/AppDelegate.h"
#include "app/DesktopConventions.h"
#include "voice/VoiceController.h"
#include "web/UnreachablePage.h"

namespace pelko {

void AppDelegate::performMenuAction(MenuAction action, MenuItem& sender, bool isARepeat) {
    switch (action) {
    case MenuAction::checkForUpdateManual: checkForUpdateManual(); break;
    case MenuAction::pushToTalkToggled: pushToTalkToggled(isARepeat); break;
    case MenuAction::speakRepliesToggled: speakRepliesToggled(sender); break;
    case MenuAction::reloadPage: reloadPage(); break;
    case MenuAction::goHome: goHome(); break;
    case MenuAction::goBack: goBack(); break;
    case MenuAction::goForward: goForward(); break;
    default: break;  // first-responder commands are the platform's own
    }
}

void AppDelegate::reloadPage() {
    // In place of the app's own page, the page that could not be loaded.
    if (unreachablePage_ && unreachablePage_->tryAgain()) return;
    if (webView_) webView_->reload();
}

void AppDelegate::goHome() {
    if (webView_) webView_->loadRequest(UrlRequest{config_.homeURL});
}

void AppDelegate::goBack() {
    if (webView_ && webView_->canGoBack()) webView_->goBack();
}

void AppDelegate::goForward() {
    if (webView_ && webView_->canGoForward()) webView_->goForward();
}

void AppDelegate::pushToTalkToggled(bool isARepeat) {
    // A held Shift+Command+Space must not flip push-to-talk with every repeat.
    if (isARepeat) return;
    if (voice_) voice_->togglePushToTalk();
}

void AppDelegate::speakRepliesToggled(MenuItem& sender) {
    if (!voice_) return;
    voice_->setSpeakReplies(!voice_->speakReplies());
    sender.setState(voice_->speakReplies() ? MenuItemState::on : MenuItemState::off);
}

}  // namespace pelko

namespace pelko {

void AppDelegate::installHistoryShortcuts() {
    std::weak_ptr<AppDelegate> weakSelf = weak_from_this();
    // Each goes where the View menu's Back and Forward go, and is swallowed.
    const auto move = [weakSelf](HistoryMove direction) {
        auto self = weakSelf.lock();
        if (!self || direction == HistoryMove::none) return true;
        if (direction == HistoryMove::back) self->goBack();
        if (direction == HistoryMove::forward) self->goForward();
        return false;
    };
    historyKeyMonitor_ = ports_.application->addLocalMonitorForKeyDownEvents([weakSelf, move](const KeyEvent& event) {
        auto self = weakSelf.lock();
        return !self || move(historyMoveForKeyDown(event, self->window_.get(), self->config_.platform));
    });
    historyMouseMonitor_ =
        ports_.application->addLocalMonitorForOtherMouseDownEvents([weakSelf, move](const OtherMouseDownEvent& event) {
            auto self = weakSelf.lock();
            return !self || move(historyMoveForMouseDown(event, self->window_.get()));
        });
}

}  // namespace pelko
