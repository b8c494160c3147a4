// The program: the language last chosen, the function object and its region
// first, then the main window, the message window and the about window, in
// that order, and the task named on the command line; the message loop runs
// until the main window is closed.
#include <QApplication>
#include <QIcon>

#include "methods/session.h"
#include "windows/about.h"
#include "windows/interf.h"
#include "windows/mesage.h"
#include "windows/settings.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("qirt"));
    application.setWindowIcon(QIcon(qirt::ProgramPixmap(64)));

    // Windows, choices, folders and language as the user left them.
    qirt::TProgramSettings settings;
    qirt::TTranslations translations;
    translations.Set(settings.Language());

    qirt::TSession session; // the function object and its condition list
    session.Conditions.ResetConditions();

    qirt::TForm1 form1(session);
    form1.Translations = &translations;
    qirt::TForm2 form2(&form1);
    qirt::TAboutBox aboutBox(&form1);
    session.Function.Messages = &form2;
    session.Conditions.Messages = &form2;
    form1.Messages = &form2;
    form1.AboutBox = &aboutBox;

    settings.Restore(form1);
    form1.Settings = &settings;

    form1.show();
    // "qirt task.qirt" (and the file manager, through the desktop entry)
    // opens the task; a task that cannot be read is said why.
    const QStringList arguments = application.arguments();
    if (arguments.size() > 1) form1.OpenTask(arguments.at(1));
    const int status = application.exec();
    settings.Remember(form1);
    return status;
}
