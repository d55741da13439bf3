#include "Navigator.h"

#include "advanced/Reset.h"
#include "advanced/frmConfigAdv.h"
#include "app/Application.h"
#include "discovery/ConnectLoad.h"
#include "discovery/Discovery.h"
#include "discovery/frmConnect.h"
#include "discovery/frmOverview.h"
#include "firmware/frmAdvanced.h"
#include "ui/frmAskPw.h"
#include "ui/frmErrorShort.h"
#include "ui/frmMessage.h"
#include "wizard/AssistantWindow.h"
#include "wizard/frmBegin.h"
#include "wizard/frmConfig.h"
#include "wizard/frmEnd.h"
#include "wizard/frmSetAll.h"

Navigator::Navigator() : assistant_(new AssistantWindow), begin_(new frmBegin) {
    assistant_->addPage(begin_);
    App().closeWindows = [this] { CloseWindows(); };
}

Navigator::~Navigator() {
    App().closeWindows = nullptr;
    delete frmErrorShort::current();
    delete prompt_;
    delete overview_;
    delete advanced_;
    delete status_;
    delete assistant_;
}

void Navigator::CreateWindows() {
    connect_ = new frmConnect;
    assistant_->addPage(connect_);
    LoadConnectPage();
    begin_->setVersionText(Session().VersionText);
    loader_ = new frmAdvanced;
    assistant_->addPage(loader_);
    config_ = new frmConfig;
    assistant_->addPage(config_);
    status_ = new frmMessage;
    end_ = new frmEnd;
    assistant_->addPage(end_);
    advanced_ = new frmConfigAdv;
    prompt_ = new frmAskPw;
    new frmErrorShort;
    setAll_ = new frmSetAll;
    assistant_->addPage(setAll_);
    overview_ = new frmOverview;
}

CaptionedWindows Navigator::captionedWindows() const {
    return {begin_,    connect_, loader_,
            config_,   status_,  end_,
            advanced_, prompt_,  frmErrorShort::current(),
            setAll_,   overview_};
}

void Navigator::Start() {
    Connect();
    assistant_->settle(begin_);
    assistant_->showPage(begin_);
}

void Navigator::Connect() {
    const auto exit = [] { ExitApplication(); };
    const auto show = [this](QWidget* page) {
        return [this, page] { assistant_->showPage(page); };
    };
    const auto discover = [this] { Discover(); };

    QObject::connect(assistant_, &AssistantWindow::closeRequested, this, exit);

    QObject::connect(begin_, &frmBegin::nextRequested, this, [this] {
        Discover();
        Session().DiscoveryFailed = false;
    });
    QObject::connect(begin_, &frmBegin::exitRequested, this, exit);

    QObject::connect(connect_, &frmConnect::basicConfigRequested, this, [this] {
        assistant_->showPage(config_);
        config_->FillFromNodeRead();
    });
    QObject::connect(connect_, &frmConnect::advancedRequested, this,
                     [this] { OpenAdvancedWindow(connect_); });
    QObject::connect(connect_, &frmConnect::setAllRequested, this,
                     [this](const QStringList& options, const QString& notch) {
                         const QString connected = connect_->boxSelected()
                                                       ? LineMac(connect_->localNodeLine())
                                                       : QString();
                         setAll_->prepare(connect_->selectedEntryMacs(), connected, options, notch);
                         assistant_->showPage(setAll_);
                     });
    QObject::connect(connect_, &frmConnect::loaderPageRequested, this, show(loader_));
    QObject::connect(connect_, &frmConnect::discoveryRequested, this, discover);
    QObject::connect(connect_, &frmConnect::factoryResetRequested, this, [this] {
        FactoryResetConnect(connect_);
        Discover();
    });
    QObject::connect(connect_, &frmConnect::overviewRequested, this, [this] {
        overview_->setNodes(nodes_);
        overview_->showAndRead(connect_);
    });
    QObject::connect(connect_, &frmConnect::backRequested, this, show(begin_));
    QObject::connect(connect_, &frmConnect::exitRequested, this, exit);

    QObject::connect(config_, &frmConfig::saved, this, show(end_));
    QObject::connect(config_, &frmConfig::backRequested, this, [this] {
        connect_->disableNext();
        assistant_->showPage(connect_);
    });
    QObject::connect(config_, &frmConfig::discoveryRequested, this, discover);
    QObject::connect(config_, &frmConfig::exitRequested, this, exit);

    QObject::connect(end_, &frmEnd::finishRequested, this, exit);
    QObject::connect(end_, &frmEnd::backRequested, this, show(config_));
    QObject::connect(end_, &frmEnd::discoveryRequested, this, discover);
    QObject::connect(end_, &frmEnd::advancedRequested, this, [this] { OpenAdvancedWindow(end_); });

    QObject::connect(setAll_, &frmSetAll::discoveryRequested, this, discover);
    QObject::connect(setAll_, &frmSetAll::exitRequested, this, exit);

    QObject::connect(loader_, &frmAdvanced::discoveryRequested, this, discover);
    QObject::connect(loader_, &frmAdvanced::backRequested, this, show(begin_));
    QObject::connect(loader_, &frmAdvanced::exitRequested, this, exit);

    QObject::connect(advanced_, &frmConfigAdv::closed, this, show(end_));
    QObject::connect(advanced_, &frmConfigAdv::discoveryRequested, this, discover);
}

void Navigator::Discover() {
    assistant_->showPage(connect_);
    const DiscoveryResult result = DiscoverNodes(connect_);
    nodes_ = result.nodes;
    if (result.fileRead) {
        loader_->setInterfaces(result.loaderInterfaces);
    }
    switch (result.end) {
        case DiscoveryResult::End::LoaderPage:
            assistant_->showPage(loader_);
            break;
        case DiscoveryResult::End::WelcomePage:
            advanced_->setInterfaces(result.hostInterfaces);
            assistant_->showPage(begin_);
            break;
        case DiscoveryResult::End::NodePage:
        case DiscoveryResult::End::Locked:
            advanced_->setInterfaces(result.hostInterfaces);
            break;
    }
}

// The calling page stays until the advanced window is ready; closing that
// window leads to the end page.
void Navigator::OpenAdvancedWindow(QWidget* caller) {
    advanced_->setNodes(nodes_);
    if (!advanced_->readNode(caller)) {
        return;
    }
    assistant_->setCurrentPage(end_);
    assistant_->hide();
    advanced_->show();
}

void Navigator::CloseWindows() {
    for (QWidget* window : std::initializer_list<QWidget*>{
             status_, connect_, loader_, config_, end_, advanced_, prompt_, begin_,
             frmErrorShort::current(), setAll_, overview_, assistant_}) {
        if (window) {
            window->close();
        }
    }
}
