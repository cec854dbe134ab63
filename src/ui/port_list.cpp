#include "port_list.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QStyledItemDelegate>

const char PortList::kNumberAbove[] = "COM port number above";

namespace {

constexpr int kDetailsRole = Qt::UserRole + 1;
constexpr int kRescanMs = 1000;

// Shows a port's maker and product after its path in the open list; the
// edit field takes the path alone, which is what gets stored.
class PortItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString details = index.data(kDetailsRole).toString();
        if (!details.isEmpty()) {
            option->text += "  (" + details + ")";
        }
    }
};

QString Described(const PortEntry& port) {
    return port.details.isEmpty() ? port.path : port.path + " (" + port.details + ")";
}

}  // namespace

PortList::PortList(QComboBox* box, std::unique_ptr<PortDiscovery> discovery)
    : QObject(box), box_(box), discovery_(std::move(discovery)) {
    box_->setEditable(true);
    box_->setInsertPolicy(QComboBox::NoInsert);
    box_->setItemDelegate(new PortItemDelegate(box_));
    rescan_.setInterval(kRescanMs);
    connect(&rescan_, &QTimer::timeout, this, &PortList::Rescan);
}

void PortList::SetDiscovery(std::unique_ptr<PortDiscovery> discovery) {
    discovery_ = std::move(discovery);
}

void PortList::Show(const QString& chosen) {
    shown_.clear();
    box_->clear();
    box_->addItem(kNumberAbove);
    Rescan();
    const int index = chosen.isEmpty() ? 0 : box_->findText(chosen);
    if (index >= 0) {
        box_->setCurrentIndex(index);
    } else {
        box_->setEditText(chosen);
    }
    rescan_.start();
}

void PortList::StopFollowing() {
    rescan_.stop();
}

QString PortList::Chosen() const {
    const QString text = box_->currentText().trimmed();
    return text == kNumberAbove ? QString() : text;
}

void PortList::Rescan() {
    const QList<PortEntry> ports = discovery_->Ports();
    if (ports == shown_) {
        return;
    }
    shown_ = ports;
    // What the user has chosen or typed stays, also when its port went away.
    const QString text = box_->currentText();
    const QSignalBlocker quiet(box_);
    while (box_->count() > 1) {
        box_->removeItem(box_->count() - 1);
    }
    for (const PortEntry& port : ports) {
        box_->addItem(port.path);
        const int index = box_->count() - 1;
        box_->setItemData(index, port.details, kDetailsRole);
        box_->setItemData(index, Described(port), Qt::ToolTipRole);
        box_->setItemData(index, Described(port), Qt::AccessibleTextRole);
    }
    const int index = box_->findText(text);
    if (index >= 0) {
        box_->setCurrentIndex(index);
    } else {
        box_->setEditText(text);
    }
    box_->view()->setMinimumWidth(box_->view()->sizeHintForColumn(0) + 24);
}
