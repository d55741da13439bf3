#include "Keyboard.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

#include "lang/Catalogue.h"

namespace {

bool IsInput(QWidget* w) {
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QListWidget*>(w);
}

void Pair(QLayoutItem* labelItem, QWidget* field) {
    auto* label = labelItem ? qobject_cast<QLabel*>(labelItem->widget()) : nullptr;
    if (label && !label->buddy() && IsInput(field)) {
        label->setBuddy(field);
        // Lists do not take their name from a buddy label.
        if (qobject_cast<QListWidget*>(field)) {
            field->setAccessibleName(label->text());
        }
    }
}

// The label left of each field of a form.
void PairFormLabels(const QFormLayout* form) {
    for (int row = 0; row < form->rowCount(); ++row) {
        QLayoutItem* field = form->itemAt(row, QFormLayout::FieldRole);
        if (field && field->widget()) {
            Pair(form->itemAt(row, QFormLayout::LabelRole), field->widget());
        }
    }
}

// The item left of each field of a grid.
void PairGridLabels(QGridLayout* grid) {
    for (int i = 0; i < grid->count(); ++i) {
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        QWidget* field = grid->itemAt(i)->widget();
        if (field && column > 0) {
            Pair(grid->itemAtPosition(row, column - 1), field);
        }
    }
}

// The label nearest before the field in a row or a column, perhaps with a
// row of column headings between them; nothing when another input is nearer.
QLayoutItem* LabelBefore(QLayout* layout, int index) {
    for (int j = index - 1; j >= 0; --j) {
        QWidget* before = layout->itemAt(j)->widget();
        if (qobject_cast<QLabel*>(before)) {
            return layout->itemAt(j);
        }
        if (before && IsInput(before)) {
            return nullptr;
        }
    }
    return nullptr;
}

// The label that stands before each input in its layout: left of it in a
// row, or above it in a column.
void PairLabels(QLayout* layout) {
    if (auto* form = qobject_cast<QFormLayout*>(layout)) {
        PairFormLabels(form);
        return;
    }
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        PairGridLabels(grid);
        return;
    }
    for (int i = 1; i < layout->count(); ++i) {
        QWidget* field = layout->itemAt(i)->widget();
        if (field && IsInput(field)) {
            if (QLayoutItem* label = LabelBefore(layout, i)) {
                Pair(label, field);
            }
        }
    }
}

// A field with no label beside it takes the name the catalogue gives it.
void NameUnlabelledFields(QWidget* window) {
    QSet<QWidget*> labelled;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        labelled.insert(label->buddy());
    }
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (IsInput(w) && !labelled.contains(w) && w->accessibleName().isEmpty()) {
            w->setAccessibleName(GetTextOr(w->objectName(), QString()));
        }
    }
}

// Pages are plain windows, where Qt has no default button of its own.
void PressDefaultOnReturn(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (!button->isDefault()) {
            continue;
        }
        for (const QKeySequence& key :
             {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
            // A page shares its window with the other pages: its default
            // button answers only while the focus is on the page.
            auto* shortcut = new QShortcut(key, window);
            shortcut->setContext(Qt::WidgetWithChildrenShortcut);
            QObject::connect(shortcut, &QShortcut::activated, button, [button] {
                if (button->isVisible() && button->isEnabled()) {
                    button->click();
                }
            });
        }
        return;
    }
}

// Orders Tab through the window's controls as a person reads it: row by row
// from the top, left to right within a row.
void SortTabOrder(QWidget* window) {
    QList<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // A drop-down list's popup is a window of its own.
        if (w->focusPolicy() & Qt::TabFocus && !w->focusProxy() &&
            w->window() == window->window()) {
            controls.append(w);
        }
    }
    const auto centre = [window](QWidget* w) { return w->mapTo(window, w->rect().center()); };
    std::stable_sort(controls.begin(), controls.end(),
                     [&](QWidget* a, QWidget* b) { return centre(a).y() < centre(b).y(); });
    // Controls whose centres lie within a few pixels share a row.
    constexpr int kRowTolerance = 8;
    qsizetype rowStart = 0;
    for (qsizetype i = 1; i <= controls.size(); ++i) {
        if (i == controls.size() ||
            centre(controls[i]).y() - centre(controls[i - 1]).y() > kRowTolerance) {
            std::stable_sort(controls.begin() + rowStart, controls.begin() + i,
                             [&](QWidget* a, QWidget* b) { return centre(a).x() < centre(b).x(); });
            rowStart = i;
        }
    }
    for (qsizetype i = 1; i < controls.size(); ++i) {
        QWidget::setTabOrder(controls[i - 1], controls[i]);
    }
}

// The layout is only known once the window is shown, and may change then
// (the advanced window's tabs and the hidden parameter list).
class TabOrderOnShow : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            SortTabOrder(static_cast<QWidget*>(watched));
        }
        return false;
    }
};

}  // namespace

void PrepareKeyboard(QWidget* window) {
    window->installEventFilter(new TabOrderOnShow(window));
    for (QLayout* layout : window->findChildren<QLayout*>()) {
        PairLabels(layout);
    }
    NameUnlabelledFields(window);
    if (!qobject_cast<QDialog*>(window)) {
        PressDefaultOnReturn(window);
    }
}
