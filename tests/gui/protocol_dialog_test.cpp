#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>
#include <filesystem>

#include "app_fixture.h"
#include "command_ids.h"
#include "files/protocol_file.h"
#include "protocol_dialog.h"

namespace kenvo::test {
namespace {

class ProtocolEditor : public AppFixture {
  protected:
    // Runs "New protocol" with `script` driving the editor; its result closes the editor.
    void edit(const std::function<int(CProtocolDlg&)>& script) {
        port.dialogScript = [&](QDialog& dialog) {
            auto* d = qobject_cast<CProtocolDlg*>(&dialog);
            EXPECT_NE(d, nullptr);
            return d ? script(*d) : QDialog::Rejected;
        };
        frame().runCommand(CmdNewProtocol);
    }

    void start(const std::string& name, std::initializer_list<int32_t> entries) {
        state().protocol = {name, static_cast<int32_t>(entries.size())};
        std::copy(entries.begin(), entries.end(), locations().begin());
    }

    TargetLocations& locations() { return state().store.targetLocation; }

    static QStringList row(CProtocolDlg& d, int r) {
        return {d.list()->item(r, 0)->text(), d.list()->item(r, 1)->text()};
    }

    static int ok(CProtocolDlg& d) {
        d.accept();
        return d.result();
    }
};

TEST_F(ProtocolEditor, AddInsertChangeDeleteEditRowsAndTheSharedArray) {
    start("Walk", {0, 2});
    edit([&](CProtocolDlg& d) {
        d.show();
        EXPECT_EQ(d.windowTitle(), "Protocol setup");
        EXPECT_EQ(d.nameEdit()->text(), "Walk");
        EXPECT_EQ(d.list()->columnWidth(0), d.list()->viewport()->width() / 2 - 16);
        EXPECT_EQ(d.list()->columnWidth(1), d.list()->viewport()->width() / 2 + 16);
        EXPECT_EQ(row(d, 1), (QStringList{"  2", "right"}));
        EXPECT_TRUE(d.radio(0)->isChecked());

        d.radio(1)->setChecked(true);
        d.button("Add")->click();  // 0 2 1
        EXPECT_EQ(row(d, 2), (QStringList{"  3", "front"}));

        d.list()->selectRow(1);
        d.radio(3)->setChecked(true);
        d.button("Insert")->click();  // 0 3 2 1
        EXPECT_EQ(d.count(), 4);
        EXPECT_EQ(row(d, 1), (QStringList{"  2", "rear"}));
        EXPECT_EQ(row(d, 3), (QStringList{"  4", "front"}));

        d.list()->selectRow(0);
        d.radio(2)->setChecked(true);
        d.button("Change")->click();  // 2 3 2 1
        EXPECT_EQ(row(d, 0), (QStringList{"  1", "right"}));

        d.list()->selectRow(1);
        d.button("Delete")->click();  // 2 2 1
        EXPECT_EQ(d.list()->rowCount(), 3);
        EXPECT_EQ(row(d, 1), (QStringList{"  2", "right"}));
        EXPECT_EQ(row(d, 2), (QStringList{"  3", "front"}));
        return ok(d);
    });
    EXPECT_TRUE(port.messages.isEmpty());
    EXPECT_EQ(state().protocol.length, 3);
    EXPECT_EQ((std::vector<int32_t>(locations().begin(), locations().begin() + 4)),
              (std::vector<int32_t>{2, 2, 1, 1}));
}

TEST_F(ProtocolEditor, InsertChangeDeleteWithoutASelectedRowAreRefused) {
    start("Two", {1, 3});
    edit([&](CProtocolDlg& d) {
        d.radio(2)->setChecked(true);
        for (const char* b : {"Insert", "Change", "Delete"}) d.button(b)->click();
        EXPECT_EQ(d.list()->rowCount(), 2);
        EXPECT_EQ(row(d, 0), (QStringList{"  1", "front"}));
        return ok(d);
    });
    EXPECT_EQ(port.messages, QStringList(3, "No item was selected!"));
    EXPECT_EQ(state().protocol.length, 2);
    EXPECT_EQ(locations()[0], 1);
    EXPECT_EQ(locations()[1], 3);
    EXPECT_EQ(locations()[2], 0);
}

TEST_F(ProtocolEditor, CancelKeepsEditedEntriesButNotNameAndCountWhileOkCopiesBoth) {
    start("Old", {0});
    edit([&](CProtocolDlg& d) {
        d.nameEdit()->setText("Lost");
        d.radio(3)->setChecked(true);
        d.button("Add")->click();
        d.reject();
        return d.result();
    });
    EXPECT_EQ(state().protocol, (TargetProtocol{"Old", 1}));
    EXPECT_EQ(locations()[1], 3);

    // The name goes to the file's code page; a character it lacks becomes '?'.
    edit([&](CProtocolDlg& d) {
        EXPECT_EQ(d.count(), 1);
        d.nameEdit()->setText(QString::fromUtf8("Jiří \u2603"));
        d.button("Add")->click();
        return ok(d);
    });
    EXPECT_EQ(state().protocol, (TargetProtocol{"Ji\xf8\xed ?", 2}));
    EXPECT_EQ(locations()[1], 0);
}

TEST_F(ProtocolEditor, SaveWritesWhatTheEditorShowsAndReportsAFailedWrite) {
    start("Saved", {3, 1});
    port.files = {std::nullopt, QString::fromStdString(home("walk")),
                  QString::fromStdString(home("no/such/folder/x.kplatprt"))};
    edit([&](CProtocolDlg& d) {
        d.radio(2)->setChecked(true);
        d.button("Add")->click();
        d.button("Save")->click();  // cancelled in the file chooser
        EXPECT_FALSE(std::filesystem::exists(home("walk.kplatprt")));
        d.nameEdit()->setText("Walk");
        d.button("Save")->click();
        d.button("Save")->click();  // into a folder that does not exist
        d.reject();
        return d.result();
    });
    ASSERT_EQ(port.requests.size(), 3u);
    const FileRequest& request = port.requests[1];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.filter, "KenvoPlat protocol Files (*.kplatprt)|*.kplatprt||");
    EXPECT_EQ(request.defaultExtension, "kplatprt");
    EXPECT_EQ(request.folder.toStdString(), state().paths.programFolder);
    EXPECT_EQ(port.messages, QStringList{"File Save Error"});
    // Save hands name and count over even though the editor was cancelled afterwards.
    EXPECT_EQ(state().protocol, (TargetProtocol{"Walk", 3}));

    TargetProtocol loaded;
    TargetLocations entries{};
    ASSERT_TRUE(loadProtocol(home("walk.kplatprt"), loaded, entries));
    EXPECT_EQ(loaded, (TargetProtocol{"Walk", 3}));
    EXPECT_EQ((std::vector<int32_t>(entries.begin(), entries.begin() + 3)),
              (std::vector<int32_t>{3, 1, 2}));
}

TEST_F(ProtocolEditor, AFullProtocolRefusesAddAndInsertAndAnOutOfRangeLengthIsClamped) {
    state().protocol = {"Full", 600};
    locations().fill(1);
    edit([&](CProtocolDlg& d) {
        EXPECT_EQ(d.count(), MaxAttempts);
        EXPECT_EQ(d.list()->rowCount(), MaxAttempts);
        d.radio(3)->setChecked(true);
        d.button("Add")->click();
        d.list()->selectRow(0);
        d.button("Insert")->click();
        EXPECT_EQ(d.list()->rowCount(), MaxAttempts);
        EXPECT_EQ(row(d, 0), (QStringList{"  1", "front"}));
        EXPECT_EQ(row(d, 500), (QStringList{"501", "front"}));
        return ok(d);
    });
    EXPECT_EQ(port.messages, QStringList(2, "The protocol is full: it holds at most 501 entries."));
    EXPECT_EQ(state().protocol.length, MaxAttempts);
    EXPECT_EQ(std::count(locations().begin(), locations().end(), 1), MaxAttempts);

    state().protocol.length = -3;
    edit([&](CProtocolDlg& d) {
        EXPECT_EQ(d.list()->rowCount(), 0);
        d.button("Add")->click();
        return ok(d);
    });
    EXPECT_EQ(state().protocol.length, 1);
    EXPECT_EQ(locations()[0], 0);
}

TEST_F(ProtocolEditor, NewProtocolBlanksTheViewAndItsBarAfterTheEditorCloses) {
    addAttempts(state().store, 2, 100);
    frame().runCommand(CmdSummary);
    ASSERT_EQ(frame().view()->mode(), ViewMode::Summary);
    frame().switchDialogBar(142);
    edit([&](CProtocolDlg& d) {
        d.reject();
        return d.result();
    });
    EXPECT_EQ(port.dialogsRun, 1);
    EXPECT_EQ(frame().view()->mode(), ViewMode::Blank);
    EXPECT_EQ(frame().dialogBar(), nullptr);
}

}  // namespace
}  // namespace kenvo::test
