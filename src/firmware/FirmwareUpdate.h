#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QLineEdit;
class QWidget;

// The node fetches new firmware itself from an FTP or TFTP server: the
// update order, and the poll that follows the download until the node
// reports its end.

// What the advanced window's firmware-update frame holds.
struct UpdateOrder {
    QString protocol;
    QString server;
    QString user;
    QString password;
    QString fileName;
    QString section;
};

// The order's request lines for the selected node; the login goes only with
// "FTP".
QStringList UpdateOrderLines(const UpdateOrder& order);

// True when the order holds everything its protocol needs: server, file
// name and section, plus user and password for "FTP". Any protocol text but
// "FTP" and "TFTP", exactly so, is incomplete.
bool FwUpdateFieldsComplete(const UpdateOrder& order);

// The login fields serve "FTP" only.
bool TakesLogin(const QString& protocol);

// An empty box is accepted. Otherwise the text must have four parts
// separated by dots, each beginning with a number from 0 to 255 (no number
// counts as 0); a wrong address is reported, cleared and focused again.
void CheckIpAddressField(QLineEdit* box);

// A chosen file's name without its folders; empty for no path.
QString BareFileName(const QString& path);

// Sends the update order to the selected node, follows the download with the
// window disabled and, once the node has the new firmware, restarts it with
// resetNode before telling the user.
void UpdateSelectedNode(QWidget* window, const UpdateOrder& order,
                        const std::function<void()>& resetNode);

// Status polls run 5 s apart; the poll counter grows by 5 per poll and the
// poll ends at 500 (100 polls). A node still trying to reach its server
// ("initial") when the counter passes this limit (one minute) has failed.
inline constexpr int kUpdatePollPauseMs = 5000;
inline constexpr int kUpdatePollStep = 5;
inline constexpr int kUpdatePollEnd = 500;
inline constexpr int kUpdateStartLimit = 60;
