#include <QApplication>

#include "MainForm.h"
#include "Places.h"
#include "QtDesktopServices.h"
#include "RealClock.h"
#include "SilentSoundOutput.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillstart"));

    RealClock clock;
    SilentSoundOutput sound(clock);
    QtDesktopServices desktop;
    Places places = Places::FromEnvironment();

    MainForm window(AppContext{clock, sound, desktop, places, [] { QCoreApplication::exit(0); }});
    window.show();
    return QApplication::exec();
}
