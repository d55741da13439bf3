#pragma once

#include <QList>
#include <QObject>

#include "discovery/Discovery.h"

#include "lang/ApplyLanguage.h"

class AssistantWindow;
class QWidget;
class frmAdvanced;
class frmAskPw;
class frmBegin;
class frmConfig;
class frmConfigAdv;
class frmConnect;
class frmEnd;
class frmMessage;
class frmSetAll;
class frmOverview;

// Owns every window of the program and connects the ways out of each page
// to the page or operation that follows, so that no window needs to know
// another.
class Navigator : public QObject {
    Q_OBJECT

public:
    // Creates the assistant window and its welcome page.
    Navigator();
    ~Navigator() override;
    Navigator(const Navigator&) = delete;
    Navigator& operator=(const Navigator&) = delete;

    // Creates the other windows, in the order of the program's start.
    void CreateWindows();
    CaptionedWindows captionedWindows() const;
    // Connects the pages and shows the welcome page.
    void Start();

    // Node discovery on the node page, then the page it leads to.
    void Discover();

    AssistantWindow* assistant() const { return assistant_; }

private:
    void Connect();
    void OpenAdvancedWindow(QWidget* caller);
    void CloseWindows();

    AssistantWindow* assistant_ = nullptr;
    frmBegin* begin_ = nullptr;
    frmConnect* connect_ = nullptr;
    frmAdvanced* loader_ = nullptr;
    frmConfig* config_ = nullptr;
    frmMessage* status_ = nullptr;
    frmEnd* end_ = nullptr;
    frmConfigAdv* advanced_ = nullptr;
    frmAskPw* prompt_ = nullptr;
    frmSetAll* setAll_ = nullptr;
    frmOverview* overview_ = nullptr;
    // The nodes the last discovery found, for the overview.
    QList<FoundNode> nodes_;
};
