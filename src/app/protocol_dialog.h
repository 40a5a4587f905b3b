#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <string>

#include "model/limits.h"
#include "model/target_protocol.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace kenvo {

class OperatorPort;

inline constexpr const char* ProtocolEditorFilter =
    "KenvoPlat protocol Files (*.kplatprt)|*.kplatprt||";
inline constexpr const char* NoItemSelected = "No item was selected!";

// "Protocol setup": edits the target sequence in place. Add, Insert, Change and Delete write
// straight into the shared location array, so they stay even when the editor is cancelled;
// the name and the entry count go back to the protocol only on OK and Save.
class CProtocolDlg final : public QDialog {
    Q_OBJECT

  public:
    CProtocolDlg(TargetProtocol& protocol, std::array<int32_t, MaxAttempts>& locations,
                 const std::string& programFolder, OperatorPort& port, QWidget* parent = nullptr);

    void accept() override;

    void add();
    void insert();
    void change();
    void remove();
    void save();

    QLineEdit* nameEdit() const { return name_; }
    QTableWidget* list() const { return list_; }
    QRadioButton* radio(int k) const { return radios_[static_cast<std::size_t>(k)]; }
    QPushButton* button(const QString& text) const;
    int32_t count() const { return count_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    int32_t chosenLocation() const;
    // The lowest selected row, or -1 after telling the operator that none is selected.
    int selectedRow();
    // False, after telling the operator, when the array has no room for another entry.
    bool hasRoom();
    void setRow(int row, int32_t location);
    void storeNameAndCount();

    TargetProtocol& protocol_;
    std::array<int32_t, MaxAttempts>& locations_;
    QString programFolder_;
    OperatorPort& port_;
    int32_t count_;
    bool columnsSized_ = false;

    QLineEdit* name_;
    QTableWidget* list_;
    std::array<QRadioButton*, 4> radios_{};
};

// The text of a location code in the editor's list; codes outside 0..3 (a foreign file) show
// as their number.
QString locationName(int32_t code);

}  // namespace kenvo
