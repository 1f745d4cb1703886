#pragma once

#include <QIcon>
#include <QPixmap>

namespace platform {

// The program's pictures, drawn in code so that no image files are needed. Each icon holds
// pixmaps drawn for 16, 20, 24, 32 and 48 pixels; the same icon is returned on every call.
enum class Icon {
    Window,  // the program
    New,     // start a new matter
    Open,    // open a different matter
    Print,
    Exit,
    Family,
    Expenses,
    GrossIncome,
    Assets,
    Liabilities,
    Summary,
    Guidelines,   // the guideline amounts of maintenance and child support
    NetworkPath,  // change the data directory
    About,
    Contents,  // the manual
    OkMark,    // button marks of the matter selection
    NoMark,
    AbortMark,
    PasteCaption,     // paste a caption from a word processor
    StatementOptions  // how the statement closes: a signed page
};

inline constexpr Icon kAllIcons[] = {
    Icon::Window,  Icon::New,        Icon::Open,        Icon::Print,        Icon::Exit,
    Icon::Family,  Icon::Expenses,   Icon::GrossIncome, Icon::Assets,       Icon::Liabilities,
    Icon::Summary, Icon::Guidelines, Icon::NetworkPath, Icon::About,        Icon::Contents,
    Icon::OkMark,  Icon::NoMark,     Icon::AbortMark,   Icon::PasteCaption, Icon::StatementOptions};

QIcon icon(Icon which);

// One picture of `which` drawn at `size` x `size` pixels, transparent around it.
QPixmap iconPixmap(Icon which, int size);

// The publisher's logo (a quill over a ledger with the name "Quillmark"), `width` pixels wide and
// three eighths as high.
QPixmap logoPixmap(int width = 160);

}  // namespace platform
