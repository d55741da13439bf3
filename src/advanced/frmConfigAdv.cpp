#include "frmConfigAdv.h"

#include <initializer_list>

namespace {

// Element `index` of a control array whose first element is numbered `first`.
template <typename T>
T* Element(std::initializer_list<T*> controls, int first, int index) {
    const int position = index - first;
    if (position < 0 || position >= static_cast<int>(controls.size())) {
        return nullptr;
    }
    return controls.begin()[position];
}

}  // namespace

frmConfigAdv::frmConfigAdv(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    // A form file cannot hold the tabs of a bare tab strip; these are the
    // ones the window starts with. The optional tabs follow from the catalogue.
    ui.tabConfig->addTab(QStringLiteral("General"));
    ui.tabCriterion->addTab(QStringLiteral("Criterion 0"));
    ui.tabCriterion->addTab(QStringLiteral("Criterion 1"));
}

QWidget* frmConfigAdv::picFrame(int i) const {
    return Element<QWidget>(
        {ui.picFrame_1, ui.picFrame_2, ui.picFrame_3, ui.picFrame_4, ui.picFrame_5, ui.picFrame_6,
         ui.picFrame_7, ui.picFrame_8, ui.picFrame_9, ui.picFrame_10},
        1, i);
}

QWidget* frmConfigAdv::picCriterion(int i) const {
    return Element<QWidget>({ui.picCriterion_1, ui.picCriterion_2}, 1, i);
}

QLabel* frmConfigAdv::lblSecurity(int i) const {
    return Element<QLabel>(
        {ui.lblSecurity_0, ui.lblSecurity_1, ui.lblSecurity_2, ui.lblSecurity_3, ui.lblSecurity_4,
         ui.lblSecurity_5, ui.lblSecurity_6, ui.lblSecurity_7, ui.lblSecurity_8},
        0, i);
}

QLineEdit* frmConfigAdv::txtQoSMap(int k) const {
    return Element<QLineEdit>({ui.txtQoSMap0, ui.txtQoSMap1, ui.txtQoSMap2, ui.txtQoSMap3,
                               ui.txtQoSMap4, ui.txtQoSMap5, ui.txtQoSMap6, ui.txtQoSMap7},
                              0, k);
}

QLabel* frmConfigAdv::lblQoSPrec(int k) const {
    return Element<QLabel>({ui.lblQoSPrec0, ui.lblQoSPrec1, ui.lblQoSPrec2, ui.lblQoSPrec3,
                            ui.lblQoSPrec4, ui.lblQoSPrec5, ui.lblQoSPrec6, ui.lblQoSPrec7},
                           0, k);
}
