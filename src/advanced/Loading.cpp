#include "Loading.h"

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "app/Values.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"
#include "ui_frmConfigAdv.h"

QString Value(const char* key) {
    return ReadResponseValue(QString::fromLatin1(key));
}

void LoadText(QLineEdit* box, const char* key) {
    box->setText(Value(key));
}

// A drop-down list filled from an option list, with the node's current value
// selected; the list's selection rule runs once, for that selection.
void LoadOptions(QComboBox* combo, const char* optionsKey, const char* valueKey) {
    FillEntries(combo, SplitOptionList(Value(optionsKey)));
    combo->setCurrentIndex(FindComboIndex(Value(valueKey), combo));
}

void FillEntries(QComboBox* combo, const QStringList& entries) {
    // Filling is no selection of the user's: the list's rule stays quiet.
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
}

void frmConfigAdv::ListResponseLines() {
    const SessionState& s = Session();
    if (!FileExists(s.ResponseFile)) {
        MsgBox(s.errLoadConf, MsgIcon::Exclamation);
        return;
    }
    lastRead_ = ReadLines(s.ResponseFile).value_or(QStringList());
    lastReadMac_ = s.SelectedMac;
    ui->lstConfig->clear();
    ui->lstConfig->addItems(lastRead_);
}

void frmConfigAdv::LoadDeviceParameters() {
    // Keys the node did not send are told together once the window is filled.
    const MissingKeysReport report;
    LoadFirmwareUpdate();
    LoadNetworkPanels();
    LoadSecurityPanel();
    LoadCriteria();
    LoadVlanPanel();
    LoadQosPanels();
}

void frmConfigAdv::cmdRefresh_Click() {
    const SessionState& s = Session();
    {
        const BusyOperation operation(this, s.lblConnect);
        const bool written = WriteGetAllRequest();
        SetProgress(1, 2);
        if (!written) {
            return;
        }
        RunClient(s.GetRequestFile);
        SetProgress(2, 2);
    }
    if (!ResponseStartsWith(QStringLiteral("INFO"))) {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errReceiving);
        return;
    }
    ListResponseLines();
    LoadDeviceParameters();
}

int FindComboIndex(const QString& text, const QComboBox* combo) {
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == text) {
            return i;
        }
    }
    return -1;
}

std::optional<qint32> HexToLong(QStringView text) {
    if (text.isEmpty() || text.size() > 8) {
        return std::nullopt;
    }
    quint32 value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9') {
            digit = u - u'0';
        } else if (u >= u'A' && u <= u'F') {
            digit = u - u'A' + 10;
        } else if (u >= u'a' && u <= u'f') {
            digit = u - u'a' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<quint32>(digit);
    }
    return static_cast<qint32>(value);
}
