#include "protocol_dialog.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "dialog_text.h"
#include "file_commands.h"
#include "files/protocol_file.h"
#include "operator_port.h"

namespace kenvo {

namespace {

constexpr const char* LocationNames[4] = {"left", "front", "right", "rear"};

QString rowNumber(int row) {
    char text[16];
    std::snprintf(text, sizeof text, "%3d", row + 1);
    return QString::fromLatin1(text);
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

QString locationName(int32_t code) {
    if (code >= 0 && code < 4) return QString::fromLatin1(LocationNames[code]);
    return QString::number(code);
}

CProtocolDlg::CProtocolDlg(TargetProtocol& protocol, std::array<int32_t, MaxAttempts>& locations,
                           const std::string& programFolder, OperatorPort& port, QWidget* parent)
    : QDialog(parent),
      protocol_(protocol),
      locations_(locations),
      programFolder_(QString::fromStdString(programFolder)),
      port_(port),
      // A length beyond the array (a damaged state) would index past it.
      count_(std::clamp<int32_t>(protocol.length, 0, MaxAttempts)),
      name_(new QLineEdit(fromFileText(protocol.name), this)),
      list_(new QTableWidget(0, 2, this)) {
    setWindowTitle("Protocol setup");
    setObjectName("protocolDialog");
    name_->setObjectName("protocolName");
    list_->setObjectName("protocolList");
    list_->setHorizontalHeaderLabels({"No.", "Location"});
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(false);
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setRowCount(count_);
    for (int row = 0; row < count_; ++row) setRow(row, locations_[static_cast<std::size_t>(row)]);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow("Protocol name:", name_);
    layout->addLayout(form);

    auto* middle = new QHBoxLayout;
    middle->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    auto* group = new QGroupBox("Location", this);
    auto* groupLayout = new QVBoxLayout(group);
    for (std::size_t k = 0; k < radios_.size(); ++k) {
        radios_[k] = new QRadioButton(LocationNames[k], group);
        groupLayout->addWidget(radios_[k]);
    }
    radios_[0]->setChecked(true);
    side->addWidget(group);
    const std::pair<const char*, void (CProtocolDlg::*)()> actions[] = {
        {"Add", &CProtocolDlg::add},       {"Insert", &CProtocolDlg::insert},
        {"Change", &CProtocolDlg::change}, {"Delete", &CProtocolDlg::remove},
        {"Save", &CProtocolDlg::save},
    };
    for (const auto& [text, slot] : actions) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        side->addWidget(b);
    }
    side->addStretch();
    middle->addLayout(side);
    layout->addLayout(middle);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CProtocolDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CProtocolDlg::reject);
    resize(420, 360);
}

QPushButton* CProtocolDlg::button(const QString& text) const {
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

void CProtocolDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (columnsSized_) return;
    // Sized once, when the dialog first has its size. The halves are of the list's own width,
    // so both columns show without a horizontal scroll bar.
    columnsSized_ = true;
    const int half = list_->viewport()->width() / 2;
    list_->setColumnWidth(0, half - 16);
    list_->setColumnWidth(1, half + 16);
}

int32_t CProtocolDlg::chosenLocation() const {
    for (std::size_t k = 0; k < radios_.size(); ++k)
        if (radios_[k]->isChecked()) return static_cast<int32_t>(k);
    return 0;
}

int CProtocolDlg::selectedRow() {
    int first = -1;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        if (first < 0 || index.row() < first) first = index.row();
    if (first < 0) port_.message(NoItemSelected);
    return first;
}

bool CProtocolDlg::hasRoom() {
    if (count_ < MaxAttempts) return true;
    port_.message(QString("The protocol is full: it holds at most %1 entries.").arg(MaxAttempts));
    return false;
}

void CProtocolDlg::setRow(int row, int32_t location) {
    list_->setItem(row, 0, cell(rowNumber(row)));
    list_->setItem(row, 1, cell(locationName(location)));
}

void CProtocolDlg::add() {
    if (!hasRoom()) return;
    const int32_t location = chosenLocation();
    locations_[static_cast<std::size_t>(count_)] = location;
    list_->setRowCount(count_ + 1);
    setRow(count_, location);
    ++count_;
}

void CProtocolDlg::insert() {
    const int a = selectedRow();
    if (a < 0 || !hasRoom()) return;
    std::copy_backward(locations_.begin() + a, locations_.begin() + count_,
                       locations_.begin() + count_ + 1);
    locations_[static_cast<std::size_t>(a)] = chosenLocation();
    ++count_;
    list_->setRowCount(count_);
    for (int row = a; row < count_; ++row) setRow(row, locations_[static_cast<std::size_t>(row)]);
}

void CProtocolDlg::change() {
    const int a = selectedRow();
    if (a < 0) return;
    locations_[static_cast<std::size_t>(a)] = chosenLocation();
    setRow(a, locations_[static_cast<std::size_t>(a)]);
}

void CProtocolDlg::remove() {
    const int i = selectedRow();
    if (i < 0) return;
    std::copy(locations_.begin() + i + 1, locations_.begin() + count_, locations_.begin() + i);
    --count_;
    for (int row = i; row < count_; ++row) setRow(row, locations_[static_cast<std::size_t>(row)]);
    list_->removeRow(count_);
}

void CProtocolDlg::storeNameAndCount() {
    protocol_.name = toFileText(name_->text());
    protocol_.length = count_;
}

void CProtocolDlg::save() {
    storeNameAndCount();
    const auto chosen = port_.chooseFile({true, ProtocolEditorFilter, "kplatprt", programFolder_});
    if (!chosen) return;
    const QString path = withDefaultExtension(*chosen, "kplatprt");
    const FileResult result =
        saveProtocol(QFile::encodeName(path).toStdString(), protocol_, locations_);
    if (!result)
        port_.message(QString::fromStdString(result.message),
                      QString::fromStdString(result.reason));
}

void CProtocolDlg::accept() {
    storeNameAndCount();
    QDialog::accept();
}

}  // namespace kenvo
