#include "VlanPanel.h"

#include "QosRequests.h"
#include "UpdateSequence.h"
#include "app/Seams.h"
#include "app/Values.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"

namespace {

// Tags 0, 1 and 4095 are reserved by 802.1Q.
constexpr double kLowestTag = 2;
constexpr double kHighestTag = 4094;

bool TagValid(const Ui::frmConfigAdv& ui) {
    const double tag = Val(ui.txtVlanTag->text());
    return tag >= kLowestTag && tag <= kHighestTag;
}

bool TaggingOn(const Ui::frmConfigAdv& ui) {
    return ui.cboVlanConf->currentText() == QLatin1String("Enabled");
}

void cboVlanConf_Click(Ui::frmConfigAdv& ui) {
    const bool on = TaggingOn(ui);
    ui.txtVlanTag->setEnabled(on);
    ui.cboVlanPrio->setEnabled(on);
    // Switching tagging off needs no tag; any mode the panel does not know
    // cannot be sent.
    const bool off = ui.cboVlanConf->currentText() == QLatin1String("Disabled");
    ui.cmdUpVlan->setEnabled((on && TagValid(ui)) || off);
}

void cboVlanPrio_Click(Ui::frmConfigAdv& ui) {
    ui.cmdUpVlan->setEnabled(TagValid(ui));
}

void txtVlanTag_Change(Ui::frmConfigAdv& ui) {
    ui.cmdUpVlan->setEnabled(TaggingOn(ui) && TagValid(ui));
}

void txtVlanTag_LostFocus(Ui::frmConfigAdv& ui) {
    if (!TagValid(ui)) {
        MsgBox(GetText(QStringLiteral("errRange")), MsgIcon::Exclamation);
        ui.txtVlanTag->clear();
        ui.txtVlanTag->setFocus(Qt::OtherFocusReason);
        return;
    }
    ui.txtVlanTag->setText(DecimalText(Val(ui.txtVlanTag->text())));
}

void cmdUpVlan_Click(frmConfigAdv* window) {
    const Ui::frmConfigAdv& ui = window->ui;
    QStringList settings{QStringLiteral("KALDOR_VLAN_CONFIG=") + ui.cboVlanConf->currentText(),
                         QStringLiteral("KALDOR_VLAN_TAG=") + ui.txtVlanTag->text()};
    // Without tagging there is no priority field in the frames to set.
    if (TaggingOn(ui)) {
        settings << QStringLiteral("KALDOR_VLAN_PRIO=") + ui.cboVlanPrio->currentText();
    }
    settings << QStringLiteral("KALDOR_VLAN_OK=ok");
    SendSettings(settings);
}

}  // namespace

void ConnectVlanPanel(frmConfigAdv* window) {
    Ui::frmConfigAdv& ui = window->ui;
    QObject::connect(ui.cboVlanConf, &QComboBox::currentIndexChanged, window,
                     [&ui] { cboVlanConf_Click(ui); });
    QObject::connect(ui.cboVlanPrio, &QComboBox::currentIndexChanged, window,
                     [&ui] { cboVlanPrio_Click(ui); });
    QObject::connect(ui.txtVlanTag, &QLineEdit::textChanged, window,
                     [&ui] { txtVlanTag_Change(ui); });
    window->OnLostFocus(ui.txtVlanTag, [&ui] { txtVlanTag_LostFocus(ui); });
    QObject::connect(ui.cmdUpVlan, &QPushButton::clicked, window,
                     [window] { cmdUpVlan_Click(window); });
}
