#include "ui/hemisphere_list.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QItemSelectionModel>

namespace {

// A combo box to assistive technologies: named by its accessible name, its value the word of
// the current item, its one child the list of items (whose cells take their names from
// Qt::AccessibleTextRole, so they say the words too).
class HemisphereListAccessible : public QAccessibleWidget {
public:
    explicit HemisphereListAccessible(CHemisphereList* list)
        : QAccessibleWidget(list, QAccessible::ComboBox) {}

    CHemisphereList* list() const { return static_cast<CHemisphereList*>(object()); }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return list()->accessibleName();
        case QAccessible::Value:
            return list()->SpokenText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    int childCount() const override { return 1; }

    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == list()->view() ? 0 : -1;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override {
        if (name == showMenuAction() || name == pressAction()) {
            list()->showPopup();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }
};

QAccessibleInterface* HemisphereListFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CHemisphereList") && object != nullptr &&
        object->isWidgetType()) {
        return new HemisphereListAccessible(static_cast<CHemisphereList*>(object));
    }
    return nullptr;
}

} // namespace

CHemisphereList::CHemisphereList(QWidget* parent) : QComboBox(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(HemisphereListFactory);
        return true;
    }();
    (void)installed;
    // The list's cells report "selected" to a screen reader: keep the current item selected
    // there even while the list is closed.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (QItemSelectionModel* selection = view()->selectionModel()) {
            selection->setCurrentIndex(model()->index(index, modelColumn()),
                                       QItemSelectionModel::ClearAndSelect);
        }
    });
}

void CHemisphereList::AddLetter(const QString& letter, const QString& word) {
    addItem(letter);
    setItemData(count() - 1, word, Qt::AccessibleTextRole);
}

QString CHemisphereList::SpokenText() const {
    return currentIndex() < 0 ? QString()
                              : itemData(currentIndex(), Qt::AccessibleTextRole).toString();
}
