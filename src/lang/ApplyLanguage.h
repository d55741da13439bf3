#pragma once

class QWidget;

// The windows and pages whose controls take their captions from the catalogue.
struct CaptionedWindows {
    QWidget* frmBegin = nullptr;
    QWidget* frmConnect = nullptr;
    QWidget* frmAdvanced = nullptr;
    QWidget* frmConfig = nullptr;
    QWidget* frmMessage = nullptr;
    QWidget* frmEnd = nullptr;
    QWidget* frmConfigAdv = nullptr;
    QWidget* frmAskPw = nullptr;
    QWidget* frmErrorShort = nullptr;
    QWidget* frmSetAll = nullptr;
    QWidget* frmOverview = nullptr;
};

// Puts the catalogue's texts on every window, fills the cached texts of the
// session, applies the layout switches and builds the advanced window's tabs.
// Runs once, while the program starts.
void ApplyLanguage(const CaptionedWindows& w);
