#pragma once

#include <QString>

// What the about box says, and where help is found.

struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

// The version of this build (the project's version).
ProgramVersion CurrentVersion();

// The address the about box names as the home page and "Go Web Page" opens. The project keeps
// its pages in the manual that comes with the program, so this is that manual's top page unless
// the build gives another address.
QString HomePageAddress(const QString& manualPath);

// The about box's caption: the application title and " について".
QString AboutCaption();

// The title line: the application title, "　Ver. ", major, ".", then minor and revision written
// together ("Ver. 1.00" for 1.0.0, "Ver. 1.23" for 1.2.3).
QString AboutTitleLine(const ProgramVersion& version);

// A one-line notice, CR LF, CR LF, then "(Web) " and the home page address.
QString AboutDescription(const QString& homePage);
