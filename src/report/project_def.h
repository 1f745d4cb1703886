#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "expression.h"

namespace report {

// The parsed form of a report project file (docs/report_format.md). Lengths are in points
// (1/72 inch); item positions are relative to the left margin and to the top of their band.

struct FontSpec {
    QString family;   // empty: inherit
    double size = 0;  // 0: inherit
    std::optional<bool> bold, italic, underline;
};

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

struct ItemDef {
    enum class Kind { Text, Line, Box, Check };
    Kind kind = Kind::Text;
    int line = 0;                                // line of the project file, for messages
    double x = 0, y = 0, width = 0, height = 0;  // Text, Box, Check (Check: width = height)
    double x2 = 0, y2 = 0;                       // Line: the end point
    double penWidth = 0.5;
    FontSpec font;
    HAlign align = HAlign::Left;
    VAlign valign = VAlign::Top;
    bool wrap = false;  // break words at the item's width
    bool grow = false;  // the item grows downwards with its text and may run onto later pages
    bool frame = true;  // Check: draw the box around the mark
    std::unique_ptr<Expr> value;  // Text: what to print; Check: whether to mark
};

struct BandDef {
    enum class Kind {
        PageHeader,
        PageFooter,
        Title,
        Summary,
        Body,
        DetailHeader,
        DetailFooter,
        DetailRow,
        GroupHeader,
        GroupFooter
    };
    Kind kind = Kind::Body;
    int line = 0;
    std::optional<double> height;     // unset: down to the lowest item
    std::unique_ptr<Expr> condition;  // unset: always printed
    bool newPage = false;             // start on a fresh page
    bool keepWithNext = false;        // never the last thing on a page
    bool repeat = false;              // headers: printed again at the top of each continued page
    std::vector<ItemDef> items;
};

struct GroupDef {
    int line = 0;
    std::unique_ptr<Expr> key;
    std::optional<BandDef> header, footer;
};

struct DetailDef {
    int line = 0;
    QString connection;
    std::unique_ptr<Expr> condition;
    // Rows for which it is false are passed over: not printed, not grouped, not counted or summed.
    std::unique_ptr<Expr> where;
    bool showEmpty = false;  // print header and footer even when no row is printed
    bool newPage = false;
    std::optional<BandDef> header, footer;
    std::vector<GroupDef> groups;  // outermost first
    BandDef row;
    std::vector<const Expr*> aggregates;  // the sum()/count() calls inside it, by slot
    // Fields of the detail's connection read by its footers: kept from the last row printed,
    // because the data set has moved on when a footer is printed.
    std::vector<QString> footerFields;
};

struct BodyPart {
    std::optional<BandDef> band;  // exactly one of band and detail is set
    std::unique_ptr<DetailDef> detail;
};

struct PageSetup {
    double width = 612, height = 792;  // US Letter
    double marginLeft = 36, marginTop = 36, marginRight = 36, marginBottom = 36;
};

struct ConnectionTotal {
    QString connection;
    const Expr* value = nullptr;  // nullptr: count the rows
};

struct ReportDef {
    QString name;
    int line = 0;
    PageSetup page;
    FontSpec font;  // the report's base font; always complete after parsing
    std::optional<BandDef> pageHeader, pageFooter, title, summary;
    std::vector<BodyPart> body;
    std::vector<ConnectionTotal> totals;  // by slot of the total()/rows() calls
};

struct ProjectDef {
    std::vector<std::unique_ptr<ReportDef>> reports;
    const ReportDef* find(const QString& name) const;  // letter case ignored; nullptr if absent
};

}  // namespace report
