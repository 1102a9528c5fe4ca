// Writes PNG screenshots of the main window in each theme, with a few dozen entries, to the
// folder given as the first argument (default /tmp).
#include <QApplication>
#include <QDir>
#include <QTest>

#include "biz/ProjectItem.h"
#include "desktop/MainFrame.h"
#include "desktop/QuillmarApp.h"
#include "desktop/ViewByDate.h"
#include "desktop/tests/DesktopTestSupport.h"

using namespace testsupport;

int main(int argc, char** argv) {
    SetUpEnvironment();
    QApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    ResetUserData();
    auto app = StartProgram();
    if (!app)
        return 1;
    CMainFrame& frame = *app->GetMainFrame();
    CViewByDate& view = *frame.GetEntriesView();
    view.SetPeriodType(CViewByDate::PeriodMonth);
    view.GoToDate(COleDateTime(2024, 5, 15, 0, 0, 0));
    const int acme = AddClient(u"Acme Corporation");
    const int globex = AddClient(u"Globex");
    const int projects[] = {AddProject(u"Website redesign", acme), AddProject(u"Annual audit", acme),
                            AddProject(u"Warehouse move", globex), AddProject(u"Internal", 0)};
    for (int day = 1; day <= 30; ++day) {
        const int type = day % 3 == 0 ? 3 : day % 3 == 1 ? 1 : 2;
        AddEntry(type, COleDateTime(2024, 5, day, 0, 0, 0), projects[day % 4], 12.5f * day, day % 5 == 0);
    }
    app->m_bGridlines = 1;
    frame.resize(1100, 720);
    frame.RefreshAll();
    for (int theme = 0; theme < 3; ++theme) {
        app->m_bColorAltRows = theme == 1;
        frame.ApplyTheme(theme);
        view.Refresh(0);
        QTest::qWait(50);
        const QString path = QDir(folder).filePath(QStringLiteral("quillmar-theme%1.png").arg(theme));
        frame.grab().save(path);
    }
    StopProgram(app);
    return 0;
}
