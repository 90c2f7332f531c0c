#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>

#include "core/kit/Places.h"
#include "core/kit/RealClock.h"
#include "core/sound/RealSoundOutput.h"
#include "ui/app/MainForm.h"
#include "ui/app/TerminationSignals.h"
#include "ui/kit/QtDesktopServices.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillstart"));
    QApplication::setDesktopFileName(QStringLiteral("org.quillstart.Quillstart"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/quillstart-%1.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
    // Qt's own dialogs and buttons (the file dialog, OK, キャンセル) in Japanese like the rest.
    QTranslator qtJapanese;
    if (qtJapanese.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtJapanese);
    }

    RealClock clock;
    RealSoundOutput sound(clock);
    QtDesktopServices desktop(clock);
    Places places = Places::FromEnvironment();

    MainForm window(AppContext{clock, sound, desktop, places, [] { QCoreApplication::exit(0); }});
    TerminationSignals termination(clock);
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                     &QWidget::close);
    window.show();
    const int code = QApplication::exec();
    if (!sound.shutDown(100)) {
        // The sound thread is stuck in a sound server that does not answer. The settings are
        // saved; the library clean-up that exit() runs could wait on that thread, so skip it.
        std::_Exit(code);
    }
    return code;
}
