// The desktop program: `quillmar` opens the main window; `quillmar --pair TEXT` stores the
// pairing text that the device's connection service printed.
#include <cstdio>
#include <cstring>

#include <QApplication>

#include "connection/Pairing.h"
#include "desktop/QuillmarApp.h"
#include "ui/qt/QtMessageBox.h"
#include "ui/shared/LockWaitNotice.h"

namespace {

int StorePairing(const char* text) {
    const RapiStatus status = Pairing::StoreText(CString::FromUtf8(text));
    if (!status.ok()) {
        std::fprintf(stderr, "quillmar: the pairing text was not stored: %s\n", status.message().c_str());
        return 1;
    }
    std::printf("quillmar: pairing stored; the device can now be synchronised.\n");
    return 0;
}

}   // namespace

int main(int argc, char* argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], "--pair") == 0) {
        if (argc != 3) {
            std::fprintf(stderr, "usage: quillmar --pair PAIRING-TEXT\n");
            return 2;
        }
        return StorePairing(argv[2]);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmar"));
    QApplication::setOrganizationName(QStringLiteral("Kestovar"));
    InstallQtMessageBoxHandler();
    CLockWaitNotice::Install();
    CQuillmarApp app;
    if (!app.InitInstance())
        return 0;   // a second instance, or no data store: nothing more to show
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
