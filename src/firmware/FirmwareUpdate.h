#pragma once

class QLineEdit;

// The node fetches new firmware itself from an FTP or TFTP server: the
// advanced window's firmware-update frame, the update order, and the poll
// that follows the download until the node reports its end.

// True when the frame holds everything its protocol needs: server, file
// name and section, plus user and password for "FTP". Any protocol text but
// "FTP" and "TFTP", exactly so, is incomplete.
bool FwUpdateFieldsComplete();

// The frame's change rules: the login fields serve "FTP" only, and the
// update button is enabled exactly while the frame is complete.
void cboUpgProt_Click();
void cboUpdSect_Click();
void txtServerIP_Change();
void txtFtpUser_Change();
void txtFtpPass_Change();
void txtFileName_Change();
void txtServerIP_LostFocus();

// An empty box is accepted. Otherwise the text must have four parts
// separated by dots, each beginning with a number from 0 to 255 (no number
// counts as 0); a wrong address is reported, cleared and focused again.
void CheckIpAddressField(QLineEdit* box);

// Takes the file name, without its folders, from a local file.
void cmdFileName_Click();

// Sends the update order, follows the download and restarts the node once
// it has the new firmware.
void cmdFwUpdate_Click();

// Status polls run 5 s apart; the poll counter grows by 5 per poll and the
// poll ends at 500 (100 polls). A node still trying to reach its server
// ("initial") when the counter passes this limit (one minute) has failed.
inline constexpr int kUpdatePollPauseMs = 5000;
inline constexpr int kUpdatePollStep = 5;
inline constexpr int kUpdatePollEnd = 500;
inline constexpr int kUpdateStartLimit = 60;
