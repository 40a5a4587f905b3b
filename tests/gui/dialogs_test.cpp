#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "about_dialog.h"
#include "app_fixture.h"
#include "command_ids.h"
#include "da_setup_dialog.h"
#include "graph_setup_dialog.h"
#include "kenvo_plat_view.h"
#include "subject_dialog.h"

namespace kenvo::test {
namespace {

using Dialogs = AppFixture;

template <typename D>
D* as(QDialog& dialog) {
    D* d = qobject_cast<D*>(&dialog);
    EXPECT_NE(d, nullptr);
    return d;
}

TEST_F(Dialogs, SubjectHeightOf251IsRefusedWithTheRangeAndTheFocusOnHeight) {
    state().store.subject = {"Old", 0, 170, 70, "", "", ""};
    const SubjectRecord before = state().store.subject;
    bool stayedOpen = false;
    port.dialogScript = [&](QDialog& dialog) {
        auto* d = as<CSubjectDlg>(dialog);
        d->show();
        d->edit(SubjectField::Name)->setText("New");
        d->edit(SubjectField::Height)->setText("251");
        d->accept();
        stayedOpen = d->result() != QDialog::Accepted;
        EXPECT_EQ(d->focusWidget(), d->edit(SubjectField::Height));
        return d->result();
    };
    frame().runCommand(CmdSubjectInfo);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(port.messages, QStringList{"Please enter an integer between 0 and 250."});
    EXPECT_EQ(state().store.subject, before);
}

TEST_F(Dialogs, SubjectEmptyWeightAsksForAnInteger) {
    port.dialogScript = [&](QDialog& dialog) {
        auto* d = as<CSubjectDlg>(dialog);
        d->edit(SubjectField::Weight)->clear();
        d->accept();
        return d->result();
    };
    frame().runCommand(CmdSubjectInfo);
    EXPECT_EQ(port.messages, QStringList{"Please enter an integer."});
}

TEST_F(Dialogs, SubjectOkStoresEveryFieldInTheFileCodePageAndRepaints) {
    const int redraws = frame().view()->redrawCount();
    port.dialogScript = [&](QDialog& dialog) {
        auto* d = as<CSubjectDlg>(dialog);
        d->edit(SubjectField::Name)->setText(QString::fromUtf8("Jiří Šťastný"));
        d->maleButton()->setChecked(true);
        d->edit(SubjectField::Height)->setText("250");
        d->edit(SubjectField::Weight)->setText("500");
        d->edit(SubjectField::Comment3)->setText("three");
        d->accept();
        return d->result();
    };
    frame().runCommand(CmdSubjectInfo);
    const SubjectRecord& s = state().store.subject;
    EXPECT_EQ(s.name, "Ji\xf8\xed \x8a\x9d\x61stn\xfd");
    EXPECT_EQ(s.sex, 1);
    EXPECT_EQ(s.height, 250);
    EXPECT_EQ(s.weight, 500);
    EXPECT_EQ(s.comment3, "three");
    EXPECT_GT(frame().view()->redrawCount(), redraws);
}

TEST_F(Dialogs, SubjectCancelChangesNothingButStillRepaints) {
    state().store.subject = {"Kept", 1, 180, 80, "a", "b", "c"};
    const SubjectRecord before = state().store.subject;
    const int redraws = frame().view()->redrawCount();
    port.dialogScript = [&](QDialog& dialog) {
        auto* d = as<CSubjectDlg>(dialog);
        EXPECT_EQ(d->edit(SubjectField::Name)->text(), "Kept");
        EXPECT_TRUE(d->maleButton()->isChecked());
        for (SubjectField f : {SubjectField::Name, SubjectField::Comment1, SubjectField::Comment2})
            d->edit(f)->setText("edited");
        d->reject();
        return d->result();
    };
    frame().runCommand(CmdSubjectInfo);
    EXPECT_EQ(state().store.subject, before);
    EXPECT_EQ(frame().view()->redrawCount(), redraws + 1);
}

TEST_F(Dialogs, SubjectLabelsAreTheDialogsOwnTexts) {
    CSubjectDlg dialog(state().store.subject, port);
    QStringList labels;
    for (QLabel* l : dialog.findChildren<QLabel*>()) labels << l->text().remove('&');
    EXPECT_EQ(labels, (QStringList{"Name", "Sex", "Height", "Weight", "Comment 1", "Comment 2",
                                   "Comment 3"}));
    EXPECT_EQ(dialog.maleButton()->text().remove('&'), "male");
}

class GraphSetup : public AppFixture {
  protected:
    // Runs Graph Setup with `edit` applied to the dialog before OK.
    void run(const std::function<void(CSetypGDlg&)>& edit) {
        port.dialogScript = [&](QDialog& dialog) {
            auto* d = as<CSetypGDlg>(dialog);
            edit(*d);
            d->accept();
            return d->result();
        };
        frame().runCommand(CmdGraphSetup);
    }
};

TEST_F(GraphSetup, OutOfRangeValuesKeepTheDialogOpenWithTheirRange) {
    const GraphSettings before = state().settings.graph;
    run([](CSetypGDlg& d) { d.box(1003)->setText("0"); });
    run([](CSetypGDlg& d) { d.box(1005)->setText("3001"); });
    run([](CSetypGDlg& d) { d.box(1019)->setText("abc"); });
    EXPECT_EQ(port.messages, (QStringList{"Please enter an integer between 1 and 60.",
                                          "Please enter an integer between 10 and 3000.",
                                          "Please enter an integer."}));
    EXPECT_EQ(state().settings.graph, before);
}

TEST_F(GraphSetup, LabelsReadAsTheOperatorGuideNamesThem) {
    run([](CSetypGDlg& d) {
        QStringList labels;
        for (const QLabel* l : d.findChildren<QLabel*>()) labels << l->text();
        for (const char* text : {"Time axis (s)", "COP trace length", "Display Time (s)", "From:", "To:",
                                 "COP X and Y-axes scaling", "Y1 - axes", "Y2 - axes", "MIN", "MAX", "STEP"})
            EXPECT_TRUE(labels.contains(text)) << text << " in " << labels.join('|').toStdString();
        EXPECT_EQ(d.centredButton()->text(), "center COP");
    });
}

TEST_F(GraphSetup, TheFirstFailureInCheckingOrderIsReported) {
    // Time axis (1003) is checked after Display Time (1006) and the COP trace (1005).
    run([](CSetypGDlg& d) {
        d.box(1003)->setText("99");
        d.box(1005)->setText("5");
        d.box(1006)->setText("11");
        EXPECT_EQ(d.box(1003)->text(), "99");
    });
    EXPECT_EQ(port.messages, QStringList{"Please enter an integer between 0 and 10."});
}

TEST_F(GraphSetup, CombosStoreTheQuantityTheTextNames) {
    run([](CSetypGDlg& d) {
        EXPECT_EQ(d.y1Combo()->itemText(2), "Heart frequence");
        d.y1Combo()->setCurrentText("Velocity");
        d.y2Combo()->setCurrentText("Heart frequence");
        d.centredButton()->setChecked(true);
        d.box(1011)->setText("-600");
        d.box(1010)->setText("600");  // min above max passes, as the range check allows
    });
    EXPECT_TRUE(port.messages.isEmpty());
    const GraphSettings& g = state().settings.graph;
    EXPECT_EQ(g.y1Parameter, GraphVelocity);
    EXPECT_EQ(g.y2Parameter, GraphHeartFrequency);
    EXPECT_EQ(g.copCentred, 1);
    EXPECT_EQ(g.copAxisMax, -600);
    EXPECT_EQ(g.copAxisMin, 600);

    run([](CSetypGDlg& d) {
        EXPECT_EQ(d.y1Combo()->currentText(), "Velocity");
        EXPECT_EQ(d.y2Combo()->currentText(), "Heart frequence");
    });
}

class DaSetup : public AppFixture {
  protected:
    void run(const std::function<bool(CYaxesDlg&)>& edit) {
        port.dialogScript = [&](QDialog& dialog) {
            auto* d = as<CYaxesDlg>(dialog);
            if (edit(*d))
                d->accept();
            else
                d->reject();
            return d->result();
        };
        frame().runCommand(CmdDaGraphSetup);
    }
};

TEST_F(DaSetup, MinBoxesAlwaysShowZeroAndStepsAreNotRangeChecked) {
    run([](CYaxesDlg& d) {
        d.box(1002)->setText("42");
        d.box(1004)->setText("0");
        d.box(1006)->setText("-5");
        d.box(1062)->setText("1.5");
        d.box(1063)->setText("-0.25");
        return true;
    });
    EXPECT_TRUE(port.messages.isEmpty());
    EXPECT_EQ(state().settings.graph.daStep[0], 0);
    EXPECT_EQ(state().settings.graph.daMax[1], -5);
    EXPECT_FLOAT_EQ(state().settings.diffusionLine.daLineA, 1.5f);
    EXPECT_FLOAT_EQ(state().settings.diffusionLine.daLineB, -0.25f);
    run([](CYaxesDlg& d) {
        EXPECT_EQ(d.box(1002)->text(), "0");
        EXPECT_EQ(d.box(1004)->text(), "0");
        return false;
    });
}

TEST_F(DaSetup, LineValuesMustBeNumbersAndCancelStillRepaints) {
    const DiffusionLine before = state().settings.diffusionLine;
    run([](CYaxesDlg& d) {
        d.box(1063)->setText("one");
        return true;
    });
    EXPECT_EQ(port.messages, QStringList{"Please enter a number."});
    EXPECT_EQ(state().settings.diffusionLine, before);

    const int redraws = frame().view()->redrawCount();
    run([](CYaxesDlg&) { return false; });
    EXPECT_EQ(frame().view()->redrawCount(), redraws + 1);
}

TEST(NumberBox, AcceptsPointOrTheUsersSeparatorAndRefusesTheRest) {
    float v = 0;
    EXPECT_TRUE(parseNumberBox(" 2.5 ", v));
    EXPECT_FLOAT_EQ(v, 2.5f);
    EXPECT_FALSE(parseNumberBox("", v));
    EXPECT_FALSE(parseNumberBox("1e999", v));
    EXPECT_FALSE(parseNumberBox("2.5x", v));
}

}  // namespace
}  // namespace kenvo::test

namespace kenvo::test {
namespace {

// The About box keeps its own lines as they were and adds the source of the reference values,
// which their licence asks to be named.
TEST(About, KeepsItsLinesAndNamesTheSourceOfTheReferenceValues) {
    AboutDialog about;
    QString text;
    for (const QLabel* label : about.findChildren<QLabel*>())
        if (label->textFormat() == Qt::RichText) text = label->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("<b>KenvoPlat</b> Version " KENVOPLAT_VERSION
                                               "<br><br>Balance force platform measurements<br>"
                                               "Copyright &copy; Kenvotec<br><br>")))
        << text.toStdString();
    EXPECT_TRUE(
        text.contains("Santos DA, Duarte M. A public data set of human balance evaluations"));
    EXPECT_TRUE(text.contains("doi 10.7717/peerj.2648; CC BY 4.0"));
}

}  // namespace
}  // namespace kenvo::test
