#include "FirmwareUpdate.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <QLineEdit>

#include "Layer2Upgrade.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "app/Values.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"

namespace {

const QString kFtp = QStringLiteral("FTP");
const QString kTftp = QStringLiteral("TFTP");

// A size the node reports, in bytes; a missing or malformed one counts as 0.
double SizeValue(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

// What the node last told about its download.
struct Download {
    double fileSize = 0;
    double downloaded = 0;
    QString status;
};

Download ReadDownload() {
    Download d;
    d.fileSize = SizeValue(ReadResponseValue(QStringLiteral("FLUP_FILE_SIZE")));
    d.status = ReadResponseValue(QStringLiteral("FLUP_STATUS"));
    d.downloaded = SizeValue(ReadResponseValue(QStringLiteral("FLUP_DOWNLOADED_SIZE")));
    return d;
}

bool WriteStatusQuery() {
    const SessionState& s = Session();
    return WriteGetRequest({QStringLiteral("FLUP_FILE_SIZE"), QStringLiteral("FLUP_FLASH_OFFSET"),
                            QStringLiteral("FLUP_STATUS"), QStringLiteral("FLUP_DOWNLOADED_SIZE"),
                            QStringLiteral("NULL")},
                           s.SelectedMac, s.NodePassword);
}

// Sends the order and asks for the node's first status. Nothing when the
// node did not answer; the user has been told why, once the status window
// had gone.
std::optional<Download> SendUpdateOrder(QWidget* window, const UpdateOrder& order) {
    const SessionState& s = Session();
    bool written = false;
    bool answered = false;
    std::optional<QString> refusal;
    {
        const BusyOperation operation(window, s.lblConnect);
        DeleteResponse();
        if (!WriteRequest(s.PostRequestFile, UpdateOrderLines(order))) {
            return std::nullopt;
        }
        SetProgress(1, 5);
        RunClient(s.PostRequestFile);
        SetProgress(2, 5);
        if (!ResponseStartsWith(QStringLiteral("0"))) {
            // The node may still report on an earlier order: ask all the same.
            refusal = ReadResponseFirstLine();
        }
        written = WriteStatusQuery();
        if (written) {
            SetProgress(3, 5);
            RunClient(s.GetRequestFile);
            SetProgress(4, 5);
            answered = ResponseStartsWith(QStringLiteral("INFO"));
        }
    }
    if (refusal) {
        MsgBox(*refusal, MsgIcon::Exclamation, s.errSaving);
    }
    if (written && !answered) {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, QString());
    }
    return answered ? std::optional<Download>(ReadDownload()) : std::nullopt;
}

// The bar shows the downloaded share, or the share of the poll's time when
// the node does not know the file size yet.
int BarValue(const Download& d, int counter) {
    const double share =
        d.fileSize != 0 ? d.downloaded * 100 / d.fileSize : double(counter) / kUpdatePollEnd * 100;
    return static_cast<int>(std::lround(std::clamp(share, 0.0, 100.0)));
}

// Polls the node every five seconds until it reports the end or a failure,
// or the poll runs out of time. Returns the last status.
Download FollowDownload(Download d) {
    qint16 counter = 0;
    while (counter < kUpdatePollEnd && !StatusContains(d.status, QLatin1String("finished")) &&
           !StatusContains(d.status, QLatin1String("failed"))) {
        counter += kUpdatePollStep;
        // The query file stays, and so does the last answer until a new one.
        RunAndWait(ClientCommandLine(Session().GetRequestFile));
        if (ResponseStartsWith(QStringLiteral("INFO"))) {
            d = ReadDownload();
        }
        if (StatusContains(d.status, QLatin1String("initial"))) {
            if (counter > kUpdateStartLimit) {
                SetStatusMessage(GetText(QStringLiteral("errFLUP1")));
                break;
            }
            SetStatusMessage(GetText(QStringLiteral("errFLUP2")));
        } else {
            SetBarValue(BarValue(d, counter));
            SetStatusMessage(NodeStatusText(d.status));
        }
        Wait(kUpdatePollPauseMs);
    }
    return d;
}

}  // namespace

QStringList UpdateOrderLines(const UpdateOrder& order) {
    QStringList lines = PostHeader();
    lines << QStringLiteral("FLUP_PROTOCOL=") + order.protocol
          << QStringLiteral("FLUP_IP_ADDR=") + order.server;
    if (order.protocol == kFtp) {
        lines << QStringLiteral("FLUP_LOGIN=") + order.user
              << QStringLiteral("FLUP_PASSWORD=") + order.password;
    }
    lines << QStringLiteral("FLUP_FILENAME=") + order.fileName
          << QStringLiteral("FLUP_SECTION=") + order.section << QStringLiteral("FLUP_OK=Ok");
    return lines;
}

bool FwUpdateFieldsComplete(const UpdateOrder& order) {
    const bool common =
        !order.server.isEmpty() && !order.fileName.isEmpty() && !order.section.isEmpty();
    if (order.protocol == kFtp) {
        return common && !order.user.isEmpty() && !order.password.isEmpty();
    }
    return order.protocol == kTftp && common;
}

bool TakesLogin(const QString& protocol) {
    return protocol == kFtp;
}

void CheckIpAddressField(QLineEdit* box) {
    const QString text = box->text();
    if (text.isEmpty()) {
        return;
    }
    const QStringList parts = text.split(QLatin1Char('.'));
    const bool valid =
        parts.size() == 4 && std::all_of(parts.begin(), parts.end(), [](const QString& part) {
            const double number = Val(part);
            return number >= 0 && number <= 255;
        });
    if (valid) {
        return;
    }
    MsgBox(GetText(QStringLiteral("errFormat")), MsgIcon::Exclamation);
    box->clear();
    box->setFocus();
}

QString BareFileName(const QString& path) {
    const qsizetype folderEnd =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(folderEnd + 1);
}

void UpdateSelectedNode(QWidget* window, const UpdateOrder& order,
                        const std::function<void()>& resetNode) {
    const SessionState& s = Session();
    const std::optional<Download> first = SendUpdateOrder(window, order);
    if (!first) {
        return;
    }
    Download last;
    {
        const BusyOperation operation(window, s.lblUpgrade);
        last = FollowDownload(*first);
    }
    if (StatusContains(last.status, QLatin1String("finished"))) {
        resetNode();
        MsgBox(s.errUpgradeOk, MsgIcon::Information);
    } else {
        MsgBox(NodeStatusText(last.status), MsgIcon::Exclamation, s.errUpgradeKo);
    }
}
