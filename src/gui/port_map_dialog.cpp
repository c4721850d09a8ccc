#include "gui/port_map_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qpane {

PortMapDialog::PortMapDialog(const PortMap& map, const std::vector<SerialDeviceInfo>& devices,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PortMapDialog"));
    setWindowTitle(QStringLiteral("ポートの割り当て"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("空欄のポートは今までどおりのデバイスを開きます。"
                       "Linux では /dev/serial/by-id の名前が差し直しても変わりません。"),
        this));
    auto* form = new QFormLayout;
    for (int n = 1; n <= PortMap::kPorts; ++n) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("PortMapEntry%1").arg(n));
        box->setEditable(true);
        box->setMinimumWidth(420);
        box->addItem(QString());
        for (const SerialDeviceInfo& d : devices) {
            box->addItem(QString::fromStdString(d.name));
            box->setItemData(box->count() - 1, QString::fromStdString(d.description),
                             Qt::ToolTipRole);
        }
        box->setCurrentText(QString::fromStdString(map.entry(n)));
        entries_[static_cast<size_t>(n - 1)] = box;
        form->addRow(QStringLiteral("Port %1").arg(n), box);
    }
    silence_ = new QSpinBox(this);
    silence_->setObjectName(QStringLiteral("PortMapSilence"));
    silence_->setRange(0, 3600);
    silence_->setSuffix(QStringLiteral(" 秒"));
    silence_->setSpecialValueText(QStringLiteral("なし"));
    silence_->setValue(map.silenceSeconds);
    form->addRow(QStringLiteral("入力が途絶えたら赤く表示"), silence_);
    layout->addLayout(form);

    // The list of qpane --list-ports, its tabs widened for a label.
    const QString present = QString::fromStdString(serialDeviceListText(devices))
                                .replace(QLatin1Char('\t'), QStringLiteral("  "));
    auto* list =
        new QLabel(present.isEmpty() ? QStringLiteral("（シリアルデバイスが見つかりません）")
                                     : present.trimmed(),
                   this);
    list->setObjectName(QStringLiteral("PortMapDevices"));
    list->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(new QLabel(QStringLiteral("接続されているデバイス:"), this));
    layout->addWidget(list);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PortMap PortMapDialog::map() const {
    PortMap map;
    for (int n = 1; n <= PortMap::kPorts; ++n)
        map.setEntry(n, entry(n)->currentText().toStdString());
    map.silenceSeconds = silence_->value();
    return map;
}

}  // namespace qpane
