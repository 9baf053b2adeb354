#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code so that no image files (and no image plug-ins) have
// to ship with it. Every picture is drawn on a transparent background.

// The application's icon (a database drum with a green arrow going into it), in the sizes a
// window title, a task bar and a notification area ask for.
QIcon ApplicationIcon();

// A diskette: the picture of the button that opens the backup window.
QPixmap BackupButtonPicture(int size = 32);

// A door with a red arrow leaving through it: the picture of the button that ends the program.
QPixmap ExitButtonPicture(int size = 32);

// A yellow folder: the picture of the button that chooses the destination folder.
QPixmap FolderButtonPicture(int size = 32);
