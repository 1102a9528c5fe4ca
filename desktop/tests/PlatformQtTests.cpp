// The Qt side of the platform: message boxes, window messages in the event loop, and the
// drop-down and report list adapters as the business library uses them; opening a file that no
// application opens.
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

#include "biz/Helpers.h"
#include "biz/SummaryData.h"
#include "desktop/QuillmarApp.h"
#include "desktop/tests/DesktopTestSupport.h"
#include "platform/WindowMessages.h"
#include "ui/qt/QtComboBox.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/QtListCtrl.h"
#include "ui/qt/QtMessageBox.h"
#include "ui/qt/UrlOpener.h"
#include "ui/qt/WindowMessageNotifier.h"
#include "ui/shared/ListCtrlEx.h"

using namespace testsupport;

class PlatformQtTests : public QObject {
    Q_OBJECT
private:
    // Shows one box through the Qt handler and reports what the box offered.
    struct Seen {
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text;
        QString title;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    static int ShowWithAnswer(unsigned flags, int click, Seen& seen) {
        ScopedModalDialogHandler handler([&seen, click](QDialog& dialog) {
            auto& box = dynamic_cast<QMessageBox&>(dialog);
            seen.buttons = box.standardButtons();
            seen.icon = box.icon();
            seen.text = box.text();
            seen.title = box.windowTitle();
            if (QAbstractButton* button = box.defaultButton())
                seen.defaultButton = box.standardButton(button);
            return click;
        });
        return ShowQtMessageBox(u"Delete it?", u"Quillmar", flags);
    }

    static bool WriteScript(const QString& path, const QByteArray& text) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return false;
        file.close();
        return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }

private slots:
    void initTestCase() { ResetUserData(); }

    void messageBoxOffersTheButtonsAndIconOfItsFlags() {
        Seen seen;
        QCOMPARE(ShowWithAnswer(MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes, seen), int(IDYES));
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.text, QStringLiteral("Delete it?"));
        QCOMPARE(seen.title, QStringLiteral("Quillmar"));
        QCOMPARE(seen.defaultButton, QMessageBox::Yes);
        QCOMPARE(ShowWithAnswer(MB_OKCANCEL | MB_ICONSTOP | MB_DEFBUTTON2, QMessageBox::Cancel, seen), int(IDCANCEL));
        QCOMPARE(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.defaultButton, QMessageBox::Cancel);
        QCOMPARE(ShowWithAnswer(MB_OK | MB_ICONINFORMATION, QMessageBox::Ok, seen), int(IDOK));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(ShowWithAnswer(MB_YESNOCANCEL | MB_ICONEXCLAMATION, QMessageBox::No, seen), int(IDNO));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(ShowWithAnswer(MB_ABORTRETRYIGNORE, QMessageBox::Ignore, seen), int(IDIGNORE));
        QCOMPARE(ShowWithAnswer(MB_RETRYCANCEL, QMessageBox::Retry, seen), int(IDRETRY));
    }

    void closingABoxGivesTheCancellingAnswer() {
        Seen seen;
        QCOMPARE(ShowWithAnswer(MB_YESNO, 0, seen), int(IDNO));
        QCOMPARE(ShowWithAnswer(MB_OKCANCEL, 0, seen), int(IDCANCEL));
        QCOMPARE(ShowWithAnswer(MB_OK, 0, seen), int(IDOK));
    }

    void theInstalledHandlerServesAfxMessageBox() {
        const MessageBoxHandler previous = InstallQtMessageBoxHandler();
        int shown = 0;
        {
            ScopedModalDialogHandler handler([&shown](QDialog&) {
                ++shown;
                return int(QMessageBox::Ok);
            });
            QCOMPARE(AfxMessageBox(CString(u"Saved."), MB_OKCANCEL), int(IDOK));
        }
        SetMessageBoxHandler(previous);
        QCOMPARE(shown, 1);
    }

    void aFileNoApplicationOpensIsToldWithWhereItIs() {
        // The desktop's opener command stands in: it starts, then exits 0 (shown) or 3 (no
        // application for the file), as the real one does.
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        const QString script = bin.filePath(QStringLiteral("xdg-open"));
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + oldPath);
        const QString file = bin.filePath(QStringLiteral("Invoice 7.pdf"));
        QVERIFY(WriteScript(file, "%PDF-1.4"));
        for (const auto& [exitCode, told] : {std::pair{0, false}, std::pair{3, true}}) {
            QVERIFY(WriteScript(script, "#!/bin/sh\nexit " + QByteArray::number(exitCode) + "\n"));
            MessageBoxScript boxes;
            QVERIFY(OpenUrl(QUrl::fromLocalFile(file).toString()) > 32);
            for (QProcess* opener : qApp->findChildren<QProcess*>())
                QVERIFY(opener->state() == QProcess::NotRunning || opener->waitForFinished());
            QCoreApplication::processEvents();
            QCOMPARE(boxes.Shown().size(), size_t(told ? 1 : 0));
            if (told)
                QVERIFY(qtconv::ToQString(boxes.Shown()[0].text).contains(file));
        }
        qputenv("PATH", oldPath);
    }

    void windowMessagesArriveInTheEventLoop() {
        std::vector<WindowMessage> received;
        CWindowMessageNotifier notifier(u"Quillmar Test Window",
                                        [&received](const WindowMessage& message) { received.push_back(message); });
        QVERIFY(notifier.IsOpen());
        HWND window = FindWindow(u"Quillmar Test Window");
        QVERIFY(window);
        QVERIFY(PostMessage(window, 1124, 7, -3));
        QVERIFY(PostMessage(window, 1125));
        QElapsedTimer timer;
        timer.start();
        while (received.size() < 2 && timer.elapsed() < 3000)
            QTest::qWait(10);
        QCOMPARE(received.size(), size_t(2));
        QCOMPARE(received[0].message, 1124u);
        QCOMPARE(received[0].wParam, 7u);
        QCOMPARE(received[0].lParam, -3);
        QCOMPARE(received[1].message, 1125u);
        QVERIFY(!FindWindow(u"No Such Window"));
    }

    void comboBoxAdapterKeepsTextsValuesAndSelection() {
        QComboBox widget;
        CQtComboBox combo(&widget);
        QCOMPARE(combo.GetCurSel(), CB_ERR);
        QCOMPARE(combo.AddString(u"Beta"), 0);
        QCOMPARE(combo.InsertString(0, u"Alpha"), 0);
        QCOMPARE(combo.InsertString(-1, u"Gamma"), 2);
        QCOMPARE(combo.SetItemData(1, 42), 0);
        QCOMPARE(combo.GetItemData(1), uintptr_t(42));
        QCOMPARE(combo.SetItemData(9, 1), CB_ERR);
        QVERIFY(combo.GetLBText(2) == CString(u"Gamma"));
        QVERIFY(combo.GetLBText(7).IsEmpty());
        QCOMPARE(combo.FindStringExact(-1, u"gamma"), 2);
        QCOMPARE(combo.FindStringExact(2, u"alpha"), 0);
        QCOMPARE(combo.FindStringExact(-1, u"Delta"), CB_ERR);
        QCOMPARE(combo.SetCurSel(1), 1);
        QCOMPARE(combo.GetCurSel(), 1);
        QCOMPARE(combo.SetCurSel(5), CB_ERR);
        QCOMPARE(combo.GetCurSel(), 1);
        combo.SetCurSel(-1);
        QCOMPARE(combo.GetCurSel(), CB_ERR);
        QCOMPARE(combo.DeleteString(0), 2);
        QCOMPARE(combo.DeleteString(4), CB_ERR);
        combo.ResetContent();
        QCOMPARE(combo.GetCount(), 0);
    }

    void comboBoxAdapterIsFilledByTheLibrary() {
        ResetUserData();
        auto app = StartProgram();
        QVERIFY(app);
        QComboBox widget;
        CQtComboBox combo(&widget);
        PopulateComboBoxWithObjectList(&combo, u"category", 3, true, u"(none)");
        QCOMPARE(combo.GetCount(), 2);
        QCOMPARE(combo.GetItemData(0), uintptr_t(0));
        QCOMPARE(combo.GetItemData(1), uintptr_t(3));
        QCOMPARE(combo.GetCurSel(), 1);
        StopProgram(app);
    }

    void listAdapterColumnsRowsAndStates() {
        QTreeWidget widget;
        CQtListCtrl list(&widget);
        QCOMPARE(list.GetColumnCount(), 0);
        QCOMPARE(list.InsertColumn(0, u"Name", LVCFMT_LEFT, 80), 0);
        QCOMPARE(list.InsertColumn(1, u"Amount", LVCFMT_RIGHT, 60), 1);
        QCOMPARE(list.InsertColumn(1, u"Middle", LVCFMT_LEFT, 40), 1);
        QCOMPARE(list.GetColumnCount(), 3);
        QVERIFY(list.GetColumnHeading(2) == CString(u"Amount"));
        QCOMPARE(list.GetColumnWidth(2), 60);
        QVERIFY(list.SetColumnWidth(0, 100));
        QVERIFY(!list.SetColumnWidth(5, 10));
        QCOMPARE(list.InsertItem(0, u"first"), 0);
        QCOMPARE(list.InsertItem(99, u"last"), 1);
        QCOMPARE(list.InsertItem(1, u"middle"), 1);
        QVERIFY(list.SetItemText(2, 2, u"$5.00"));
        QVERIFY(!list.SetItemText(7, 0, u"x"));
        QCOMPARE(widget.topLevelItem(2)->textAlignment(2) & Qt::AlignRight, int(Qt::AlignRight));
        QVERIFY(list.SetItemData(1, static_cast<uintptr_t>(static_cast<intptr_t>(-12))));
        QCOMPARE(static_cast<intptr_t>(list.GetItemData(1)), intptr_t(-12));
        QCOMPARE(list.GetNextItem(-1, LVNI_SELECTED), -1);
        QVERIFY(list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
        QCOMPARE(list.GetNextItem(-1, LVNI_SELECTED), 2);
        QCOMPARE(list.GetSelectedCount(), 1);
        QCOMPARE(list.GetItemState(2, LVIS_SELECTED), unsigned(LVIS_SELECTED));
        QCOMPARE(list.GetNextItem(0, LVNI_ALL), 1);
        QVERIFY(list.DeleteItem(0));
        QCOMPARE(list.GetItemCount(), 2);
        QVERIFY(list.GetItemText(0, 0) == CString(u"middle"));
        QVERIFY(!list.DeleteItem(5));
        QCOMPARE(list.SetExtendedStyle(LVS_EX_GRIDLINES), 0u);
        QCOMPARE(list.GetExtendedStyle(), unsigned(LVS_EX_GRIDLINES));
        QVERIFY(list.DeleteColumn(1));
        QCOMPARE(list.GetColumnCount(), 2);
        QVERIFY(list.DeleteAllItems());
        QCOMPARE(list.GetItemCount(), 0);
    }

    void summaryRowsFromTheLibraryHaveBoldHeadings() {
        ResetUserData();
        auto app = StartProgram();
        QVERIFY(app);
        CListCtrlEx list;
        list.m_bBoldInsteadOfStrikeOut = true;
        list.m_bSwitchFonts = true;
        list.CreateFonts(app->GetUIFont());
        CSummaryData::SetupListCtrl(&list.AsListCtrl());
        QCOMPARE(list.columnCount(), 2);
        QCOMPARE(list.topLevelItemCount(), 18);
        for (int row : {0, 2, 6, 10, 14})
            QVERIFY(list.RowFont(row).bold());
        for (int row : {1, 3, 17}) {
            QVERIFY(!list.RowFont(row).bold());
            QVERIFY(!list.RowFont(row).strikeOut());
        }
        QVERIFY(!list.RowTextColor(0).isValid());   // headings are not greyed
        StopProgram(app);
    }
};

DESKTOP_TEST_MAIN(PlatformQtTests)
#include "PlatformQtTests.moc"
