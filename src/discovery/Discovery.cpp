#include "Discovery.h"

#include "Alias.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "app/Values.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "frmConnect.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"
#include "ui/frmAskPw.h"

namespace {

// One request of the walk on the node page: the operation frame.
class PageStep : public WalkStep {
public:
    PageStep(QWidget* page, const QString& message) : operation_(page, message) {}
    void finish() override { operation_.finish(); }

private:
    BusyOperation operation_;
};

// The walk shown on the node page, passwords asked in the password dialog.
class PageWalkView : public WalkView {
public:
    explicit PageWalkView(frmConnect* page) : page_(page) {}
    QString localNodeLine() const override { return page_->localNodeLine(); }
    QStringList nodeLines() const override { return page_->nodeLines(); }
    void setLocalNodeLine(const QString& line) override { page_->setLocalNodeLine(line); }
    void addNodeLine(const QString& line) override { page_->addNodeLine(line); }
    QString askPassword(const QString& prompt) override { return frmAskPw::Ask(prompt); }
    void enterLockedState(const QString& mac) override { page_->enterLockedState(mac); }
    std::unique_ptr<WalkStep> beginStep(const QString& message) override {
        return std::make_unique<PageStep>(page_, message);
    }

private:
    frmConnect* page_;
};

// What the discovery tool's file gives the pages.
DiscoveryResult ResultOf(const DiscoveryFile& discovery) {
    DiscoveryResult result;
    result.fileRead = FileExists(Session().MacDiscoverFile);
    if (discovery.found) {
        result.hostInterfaces = discovery.interfaces;
    } else {
        result.loaderInterfaces = discovery.interfaces;
        result.end = DiscoveryResult::End::LoaderPage;
    }
    return result;
}

}  // namespace

DiscoveryResult DiscoverNodes(frmConnect* page) {
    SessionState& s = Session();
    s.DiscoveryFailed = false;
    page->clearNodes();
    DiscoveryResult result;
    {
        const BusyOperation operation(page, s.lblDiscoverMac);
        result = ResultOf(FindLocalNode());
        if (result.end == DiscoveryResult::End::LoaderPage) {
            MsgBox(s.errNoModems, MsgIcon::Stop);
            s.DiscoveryFailed = true;
        }
    }
    page->enableNodeControls();
    if (result.end == DiscoveryResult::End::LoaderPage) {
        return result;
    }
    PageWalkView view(page);
    const WalkResult walk = WalkNetwork(view);
    constexpr DiscoveryResult::End kEnds[] = {DiscoveryResult::End::NodePage,
                                              DiscoveryResult::End::WelcomePage,
                                              DiscoveryResult::End::Locked};
    result.end = kEnds[static_cast<int>(walk.end)];
    result.nodes = walk.nodes;
    return result;
}

std::optional<NotchSetting> ReadLocalNotches() {
    const SessionState& s = Session();
    const bool written = WriteGetRequest(
        {QStringLiteral("NOTCHES"), QStringLiteral("NET_ID_STR"), QStringLiteral("ENCRYPT_KEY_STR"),
         QStringLiteral("NOTCHES_OPTIONS"), QStringLiteral("NULL")},
        s.LocalMac, s.LocalPassword);
    SetProgress(1, 3);
    if (written) {
        RunClient(s.GetRequestFile);
    }
    SetProgress(2, 3);
    if (!written) {
        return std::nullopt;
    }
    if (!ResponseStartsWith(QStringLiteral("INFO"))) {
        MsgBox(s.errLoadConf, MsgIcon::Stop);
        return std::nullopt;
    }
    const MissingKeysReport report;
    NotchSetting notches;
    notches.options = SplitOptionList(ReadResponseValue(QStringLiteral("NOTCHES_OPTIONS")));
    notches.current = ReadResponseValue(QStringLiteral("NOTCHES"));
    return notches;
}
