#pragma once

#include <QIcon>
#include <QString>

#include <vector>

// The item-type icons, addressed by the image index stored in each record. Every index of
// the table has an icon from the desktop's icon theme that means the same thing, or a drawn
// one where the theme has none; indices outside the table (old or damaged records) show the
// generic record icon, so no row is ever without one.
class CTrxImageList {
public:
    enum : int {
        kRootFolder = 0,
        kFolderClosed = 1,
        kFolderOpen = 2,
        kPassword = 3,
        kCreditCard = 4,
        kGenericRecord = 5,
        kRecycleBin = 9,
        kFile = 11,
        kFavorites = 12,
        kNote = 63,
        kProgram = 128,
        kSearch = 145,
        kWebLink = 242,
        kCount = 256,
    };

    // Loads every icon once (start-up).
    void Load();
    bool IsLoaded() const { return !m_icons.empty(); }

    // The icon of index; never null.
    QIcon Icon(int index) const;
    // The theme name the index is mapped to.
    static QString IconName(int index);
    // Whether the icon of index came from the theme (false: drawn).
    bool FromTheme(int index) const;
    int GetCount() const { return static_cast<int>(m_icons.size()); }

    // The program's own icon at 16 to 256 pixels.
    static QIcon ProgramIcon();
    // Chooses an installed icon theme when the desktop names none.
    static void SelectIconTheme();

private:
    static QIcon Drawn(int index);

    std::vector<QIcon> m_icons;
    std::vector<bool> m_fromTheme;
};

// The shared image list of the application.
CTrxImageList& ImageList();
