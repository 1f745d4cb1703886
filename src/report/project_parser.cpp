#include "project_parser.h"

#include <QSet>
#include <QStringList>
#include <algorithm>

#include "project_lexer.h"

namespace report {

namespace {

constexpr double kMaxLength = 2000;  // points; larger than any page we print
constexpr double kMinFontSize = 1, kMaxFontSize = 200;

// Thrown inside the parser only, so each check is one line; parseProject turns it into a value.
struct Failure {
    ParseError error;
};

[[noreturn]] void failAt(int line, const QString& message) { throw Failure{{line, message}}; }

QString tokenDescription(const Token& token) {
    return token.kind == Token::Kind::Expression ? QStringLiteral("{%1}").arg(token.text)
                                                 : token.text;
}

// Reads the attributes of one statement; each may be taken once, and finish() rejects the rest.
class Attributes {
  public:
    explicit Attributes(const Statement& statement) : statement_(statement) {
        used_.assign(statement.attributes.size(), false);
    }

    int line() const { return statement_.line; }

    // The first attribute as a name ("report NAME", "detail CONNECTION").
    QString takeName(const char* what) {
        if (statement_.attributes.empty() || !statement_.attributes.front().value ||
            statement_.attributes.front().value->kind == Token::Kind::Expression ||
            (statement_.attributes.front().value->kind == Token::Kind::Word &&
             statement_.attributes.front().value->text.toLower() !=
                 statement_.attributes.front().key)) {
            failAt(statement_.line, QStringLiteral("'%1' needs %2").arg(statement_.keyword, what));
        }
        used_[0] = true;
        const QString name = statement_.attributes.front().value->text;
        if (name.isEmpty())
            failAt(statement_.line, QStringLiteral("'%1' needs %2").arg(statement_.keyword, what));
        return name;
    }

    const Attribute* find(const char* key) {
        const Attribute* found = nullptr;
        for (size_t i = 0; i < statement_.attributes.size(); ++i) {
            const Attribute& a = statement_.attributes[i];
            if (used_[i] || a.key != QLatin1String(key)) continue;
            if (found) failAt(a.line, QStringLiteral("'%1' is given twice").arg(a.key));
            found = &a;
            used_[i] = true;
        }
        return found;
    }

    std::optional<double> length(const char* key) {
        const Attribute* a = find(key);
        if (!a) return std::nullopt;
        return parseLength(
            *a, a->value && a->key != a->value->text.toLower() ? *a->value : noValue(*a));
    }

    double length(const char* key, double fallback) { return length(key).value_or(fallback); }

    bool flag(const char* key, bool fallback = false) {
        const std::optional<bool> value = optionalFlag(key);
        return value.value_or(fallback);
    }

    std::optional<bool> optionalFlag(const char* key) {
        const Attribute* a = find(key);
        if (!a) return std::nullopt;
        if (isBare(*a)) return true;
        const QString v = a->value->text.toLower();
        if (v == "yes" || v == "true" || v == "on") return true;
        if (v == "no" || v == "false" || v == "off") return false;
        failAt(
            a->line,
            QStringLiteral("'%1' is yes or no, not '%2'").arg(a->key, tokenDescription(*a->value)));
    }

    // A word or quoted text.
    std::optional<QString> text(const char* key) {
        const Attribute* a = find(key);
        if (!a) return std::nullopt;
        if (isBare(*a) || a->value->kind == Token::Kind::Expression) {
            failAt(a->line, QStringLiteral("'%1' needs a value").arg(a->key));
        }
        return a->value->text;
    }

    // {expression}, or "text" when `textAllowed`.
    std::unique_ptr<Expr> expression(const char* key, bool textAllowed) {
        const Attribute* a = find(key);
        if (!a) return nullptr;
        if (isBare(*a) || a->value->kind == Token::Kind::Word ||
            (!textAllowed && a->value->kind == Token::Kind::Text)) {
            failAt(a->line, textAllowed
                                ? QStringLiteral("'%1' needs \"text\" or {expression}").arg(a->key)
                                : QStringLiteral("'%1' needs an {expression}").arg(a->key));
        }
        if (a->value->kind == Token::Kind::Text) {
            auto literal = std::make_unique<Expr>();
            literal->literal = Value::text(a->value->text);
            return literal;
        }
        ExpressionError error;
        std::unique_ptr<Expr> expr = parseExpression(a->value->text, &error);
        if (!expr) {
            const int line =
                a->value->line + static_cast<int>(a->value->text.left(error.offset).count('\n'));
            failAt(line,
                   QStringLiteral("in {%1}: %2").arg(a->value->text.simplified(), error.message));
        }
        return expr;
    }

    template <typename Enum, size_t N>
    std::optional<Enum> choice(const char* key, const std::pair<const char*, Enum> (&choices)[N]) {
        const std::optional<QString> value = text(key);
        if (!value) return std::nullopt;
        QStringList names;
        for (const auto& [name, e] : choices) {
            if (value->compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return e;
            names << QLatin1String(name);
        }
        failAt(statement_.line,
               QStringLiteral("'%1' is one of %2, not '%3'")
                   .arg(QLatin1String(key), names.join(QStringLiteral(", ")), *value));
    }

    // Rejects every attribute not taken.
    void finish() {
        for (size_t i = 0; i < statement_.attributes.size(); ++i) {
            if (used_[i]) continue;
            const Attribute& a = statement_.attributes[i];
            const QString what =
                a.key.isEmpty() ? QStringLiteral("\"%1\"").arg(a.value->text) : a.key;
            failAt(a.line, QStringLiteral("'%1' does not take '%2'").arg(statement_.keyword, what));
        }
    }

  private:
    static bool isBare(const Attribute& a) {
        return !a.key.isEmpty() && a.value && a.value->kind == Token::Kind::Word &&
               a.value->text.toLower() == a.key;
    }
    static const Token& noValue(const Attribute& a) {
        failAt(a.line, QStringLiteral("'%1' needs a value").arg(a.key));
    }

    static double parseLength(const Attribute& a, const Token& token) {
        if (token.kind != Token::Kind::Word) {
            failAt(a.line, QStringLiteral("'%1' needs a length such as 0.5in").arg(a.key));
        }
        return parseLengthText(a, token.text);
    }

  public:
    static double parseLengthText(const Attribute& a, const QString& text) {
        static const std::pair<const char*, double> units[] = {
            {"in", 72.0}, {"mm", 72.0 / 25.4}, {"cm", 72.0 / 2.54}, {"pt", 1.0}};
        QString number = text.toLower();
        double factor = 1.0;
        for (const auto& [unit, perUnit] : units) {
            if (number.endsWith(QLatin1String(unit))) {
                number.chop(2);
                factor = perUnit;
                break;
            }
        }
        bool ok = false;
        const double value = number.toDouble(&ok) * factor;
        if (!ok || number.startsWith('+') || number.contains('e') || value < 0 ||
            value > kMaxLength) {
            failAt(a.line, QStringLiteral("'%1' is not a length: '%2'").arg(a.key, text));
        }
        return value;
    }

  private:
    const Statement& statement_;
    std::vector<bool> used_;
};

// Where an expression stands decides which functions it may use.
enum class Place { PageBand, Band, DetailHeader, DetailRow, DetailFooter, GroupKey, RowFilter };

class Parser {
  public:
    explicit Parser(std::vector<Statement> statements) : statements_(std::move(statements)) {}

    std::unique_ptr<ProjectDef> run() {
        auto project = std::make_unique<ProjectDef>();
        QSet<QString> names;
        while (pos_ < statements_.size()) {
            const Statement& s = statements_[pos_];
            if (s.keyword != "report") {
                failAt(s.line, QStringLiteral("expected 'report', found '%1'").arg(s.keyword));
            }
            std::unique_ptr<ReportDef> report = parseReport();
            if (names.contains(report->name.toLower())) {
                failAt(report->line,
                       QStringLiteral("a second report named '%1'").arg(report->name));
            }
            names.insert(report->name.toLower());
            project->reports.push_back(std::move(report));
        }
        if (project->reports.empty()) failAt(1, QStringLiteral("the file holds no report"));
        return project;
    }

  private:
    const Statement& take() { return statements_[pos_++]; }
    bool atEnd() const { return pos_ >= statements_.size(); }
    const Statement& peek() const { return statements_[pos_]; }

    // Consumes the 'end' of a block opened by `opener`.
    bool atBlockEnd(const Statement& opener) {
        if (atEnd()) {
            failAt(opener.line, QStringLiteral("'%1' on line %2 has no 'end'")
                                    .arg(opener.keyword)
                                    .arg(opener.line));
        }
        if (peek().keyword != "end") return false;
        Attributes(take()).finish();
        return true;
    }

    std::unique_ptr<ReportDef> parseReport() {
        const Statement& opener = take();
        auto report = std::make_unique<ReportDef>();
        report_ = report.get();
        report->line = opener.line;
        Attributes attributes(opener);
        report->name = attributes.takeName("a name");
        attributes.finish();
        report->font = FontSpec{QStringLiteral("Times New Roman"), 10, false, false, false};

        while (!atBlockEnd(opener)) {
            const Statement& s = peek();
            if (s.keyword == "page") {
                parsePage(take(), &report->page);
            } else if (s.keyword == "font") {
                Attributes a(take());
                readFont(a, &report->font, "family");
                a.finish();
            } else if (s.keyword == "pageheader") {
                setOnce(&report->pageHeader, parseBand(BandDef::Kind::PageHeader, Place::PageBand));
            } else if (s.keyword == "pagefooter") {
                setOnce(&report->pageFooter, parseBand(BandDef::Kind::PageFooter, Place::PageBand));
            } else if (s.keyword == "title") {
                setOnce(&report->title, parseBand(BandDef::Kind::Title, Place::Band));
            } else if (s.keyword == "summary") {
                setOnce(&report->summary, parseBand(BandDef::Kind::Summary, Place::Band));
            } else if (s.keyword == "band") {
                BodyPart part;
                part.band = parseBand(BandDef::Kind::Body, Place::Band);
                report->body.push_back(std::move(part));
            } else if (s.keyword == "detail") {
                BodyPart part;
                part.detail = parseDetail();
                report->body.push_back(std::move(part));
            } else {
                failAt(s.line, QStringLiteral("'%1' does not belong in a report").arg(s.keyword));
            }
        }
        checkPage(*report);
        report_ = nullptr;
        return report;
    }

    static void setOnce(std::optional<BandDef>* slot, BandDef band) {
        if (*slot) failAt(band.line, QStringLiteral("a report has only one of these bands"));
        *slot = std::move(band);
    }

    void parsePage(const Statement& s, PageSetup* page) {
        Attributes a(s);
        if (const std::optional<QString> size = a.text("size")) {
            if (size->compare(QLatin1String("letter"), Qt::CaseInsensitive) != 0) {
                failAt(s.line, QStringLiteral("the page size is letter, not '%1'").arg(*size));
            }
        }
        if (const Attribute* margins = a.find("margins")) {
            if (!margins->value || margins->value->kind != Token::Kind::Word ||
                margins->value->text.toLower() == "margins") {
                failAt(s.line, QStringLiteral(
                                   "'margins' needs one length or four (left,top,right,bottom)"));
            }
            const QStringList parts = margins->value->text.split(',');
            if (parts.size() != 1 && parts.size() != 4) {
                failAt(s.line, QStringLiteral(
                                   "'margins' needs one length or four (left,top,right,bottom)"));
            }
            double values[4];
            for (int i = 0; i < 4; ++i) {
                values[i] =
                    Attributes::parseLengthText(*margins, parts.at(parts.size() == 1 ? 0 : i));
            }
            page->marginLeft = values[0];
            page->marginTop = values[1];
            page->marginRight = values[2];
            page->marginBottom = values[3];
        }
        a.finish();
        if (page->marginLeft + page->marginRight > page->width - 72 ||
            page->marginTop + page->marginBottom > page->height - 72) {
            failAt(s.line, QStringLiteral("the margins leave less than an inch of the page"));
        }
    }

    // "family" on a report's font statement, "font" on an item.
    static void readFont(Attributes& a, FontSpec* font, const char* familyKey) {
        if (std::optional<QString> family = a.text(familyKey)) {
            if (family->trimmed().isEmpty()) {
                failAt(a.line(),
                       QStringLiteral("'%1' needs a font name").arg(QLatin1String(familyKey)));
            }
            font->family = family->trimmed();
        }
        if (std::optional<QString> size = a.text("size")) {
            bool ok = false;
            const double points = size->toDouble(&ok);
            if (!ok || !(points >= kMinFontSize && points <= kMaxFontSize)) {
                failAt(a.line(),
                       QStringLiteral("'size' is a font size in points from 1 to 200, not '%1'")
                           .arg(*size));
            }
            font->size = points;
        }
        if (auto v = a.optionalFlag("bold")) font->bold = v;
        if (auto v = a.optionalFlag("italic")) font->italic = v;
        if (auto v = a.optionalFlag("underline")) font->underline = v;
    }

    BandDef parseBand(BandDef::Kind kind, Place place) {
        const Statement& opener = take();
        BandDef band;
        band.kind = kind;
        band.line = opener.line;
        Attributes a(opener);
        band.height = a.length("height");
        band.condition = a.expression("if", false);
        if (band.condition) checkExpression(*band.condition, opener.line, place);
        if (kind != BandDef::Kind::PageHeader && kind != BandDef::Kind::PageFooter) {
            band.newPage = a.flag("newpage");
            band.keepWithNext = a.flag("keepwithnext");
        }
        if (kind == BandDef::Kind::DetailHeader || kind == BandDef::Kind::GroupHeader) {
            band.repeat = a.flag("repeat");
        }
        a.finish();
        while (!atBlockEnd(opener)) band.items.push_back(parseItem(place));
        checkBandHeight(band);
        return band;
    }

    std::unique_ptr<DetailDef> parseDetail() {
        const Statement& opener = take();
        auto detail = std::make_unique<DetailDef>();
        detail_ = detail.get();
        detail->line = opener.line;
        Attributes a(opener);
        detail->connection = a.takeName("a connection name");
        detail->row.kind = BandDef::Kind::DetailRow;
        detail->row.line = opener.line;
        detail->row.height = a.length("height");
        detail->condition = a.expression("if", false);
        if (detail->condition) checkExpression(*detail->condition, opener.line, Place::Band);
        detail->where = a.expression("where", false);
        if (detail->where) checkExpression(*detail->where, opener.line, Place::RowFilter);
        detail->showEmpty = a.flag("showempty");
        detail->newPage = a.flag("newpage");
        a.finish();

        while (!atBlockEnd(opener)) {
            const Statement& s = peek();
            if (s.keyword == "header") {
                if (detail->header) failAt(s.line, QStringLiteral("a detail has one header"));
                detail->header = parseBand(BandDef::Kind::DetailHeader, Place::DetailHeader);
            } else if (s.keyword == "footer") {
                if (detail->footer) failAt(s.line, QStringLiteral("a detail has one footer"));
                detail->footer = parseBand(BandDef::Kind::DetailFooter, Place::DetailFooter);
            } else if (s.keyword == "group") {
                detail->groups.push_back(parseGroup());
            } else {
                detail->row.items.push_back(parseItem(Place::DetailRow));
            }
        }
        checkBandHeight(detail->row);
        detail_ = nullptr;
        return detail;
    }

    GroupDef parseGroup() {
        const Statement& opener = take();
        GroupDef group;
        group.line = opener.line;
        Attributes a(opener);
        group.key = a.expression("key", false);
        if (!group.key) failAt(opener.line, QStringLiteral("'group' needs key={expression}"));
        checkExpression(*group.key, opener.line, Place::GroupKey);
        a.finish();
        while (!atBlockEnd(opener)) {
            const Statement& s = peek();
            if (s.keyword == "header" && !group.header) {
                group.header = parseBand(BandDef::Kind::GroupHeader, Place::DetailHeader);
            } else if (s.keyword == "footer" && !group.footer) {
                group.footer = parseBand(BandDef::Kind::GroupFooter, Place::DetailFooter);
            } else {
                failAt(s.line, QStringLiteral("a group holds one header and one footer, not '%1'")
                                   .arg(s.keyword));
            }
        }
        return group;
    }

    ItemDef parseItem(Place place) {
        const Statement& s = take();
        ItemDef item;
        item.line = s.line;
        Attributes a(s);
        if (s.keyword == "text") {
            item.kind = ItemDef::Kind::Text;
            readBox(a, &item);
            readFont(a, &item.font, "font");
            static const std::pair<const char*, HAlign> aligns[] = {
                {"left", HAlign::Left}, {"center", HAlign::Center}, {"right", HAlign::Right}};
            static const std::pair<const char*, VAlign> valigns[] = {
                {"top", VAlign::Top}, {"middle", VAlign::Middle}, {"bottom", VAlign::Bottom}};
            item.align = a.choice("align", aligns).value_or(HAlign::Left);
            item.valign = a.choice("valign", valigns).value_or(VAlign::Top);
            item.grow = a.flag("grow");
            item.wrap = a.flag("wrap") || item.grow;
            item.value = a.expression("value", true);
            if (!item.value)
                failAt(s.line, QStringLiteral("'text' needs value=\"...\" or value={...}"));
            if (item.width <= 0) failAt(s.line, QStringLiteral("'text' needs a width w"));
        } else if (s.keyword == "line") {
            item.kind = ItemDef::Kind::Line;
            item.x = a.length("x1", 0);
            item.y = a.length("y1", 0);
            item.x2 = a.length("x2", item.x);
            item.y2 = a.length("y2", item.y);
            item.penWidth = a.length("width", 0.5);
        } else if (s.keyword == "box") {
            item.kind = ItemDef::Kind::Box;
            readBox(a, &item);
            item.penWidth = a.length("width", 0.5);
            if (item.width <= 0 || item.height <= 0)
                failAt(s.line, QStringLiteral("'box' needs w and h"));
        } else if (s.keyword == "check") {
            item.kind = ItemDef::Kind::Check;
            item.x = a.length("x", 0);
            item.y = a.length("y", 0);
            item.width = item.height = a.length("size", 10);
            item.penWidth = a.length("width", 0.5);
            item.frame = a.flag("frame", true);
            item.value = a.expression("value", false);
            if (!item.value) failAt(s.line, QStringLiteral("'check' needs value={...}"));
            if (item.width <= 0) failAt(s.line, QStringLiteral("'check' needs a size above 0"));
        } else {
            failAt(s.line,
                   QStringLiteral("unknown item '%1' (text, line, box or check)").arg(s.keyword));
        }
        a.finish();
        if (item.value) checkExpression(*item.value, s.line, place);
        return item;
    }

    static void readBox(Attributes& a, ItemDef* item) {
        item->x = a.length("x", 0);
        item->y = a.length("y", 0);
        item->width = a.length("w", 0);
        item->height = a.length("h", 0);
    }

    // Checks where each function may stand and gives aggregates their slots.
    void checkExpression(Expr& root, int line, Place place) {
        int aggregateDepth = 0;
        checkNode(root, line, place, aggregateDepth);
    }

    void checkNode(Expr& node, int line, Place place, int& aggregateDepth) {
        const bool isCall = node.kind == Expr::Kind::Call;
        const Function f = node.function;
        const bool detailAggregate = isCall && (f == Function::Sum || f == Function::Count);
        const bool connectionAggregate = isCall && (f == Function::Total || f == Function::Rows);
        if (detailAggregate || connectionAggregate) {
            if (aggregateDepth > 0)
                failAt(line, QStringLiteral("an aggregate cannot hold another"));
            if (place == Place::GroupKey)
                failAt(line, QStringLiteral("a group key cannot use aggregates"));
            if (place == Place::RowFilter)
                failAt(line, QStringLiteral("a detail's where cannot use aggregates"));
        }
        if (detailAggregate) {
            if (place != Place::DetailRow && place != Place::DetailFooter) {
                failAt(line,
                       QStringLiteral("sum() and count() belong in a detail's rows or footers"));
            }
            node.slot = static_cast<int>(detail_->aggregates.size());
            detail_->aggregates.push_back(&node);
        }
        if (connectionAggregate) {
            node.slot = static_cast<int>(report_->totals.size());
            report_->totals.push_back(
                {node.name, node.args.empty() ? nullptr : node.args.front().get()});
        }
        if (isCall && f == Function::Pages && place != Place::PageBand) {
            failAt(line, QStringLiteral("pages() belongs in a page header or footer"));
        }
        if (node.kind == Expr::Kind::Field && detail_ && place == Place::DetailFooter &&
            aggregateDepth == 0 &&
            node.name.compare(detail_->connection, Qt::CaseInsensitive) == 0) {
            const QString field = node.field.toLower();
            if (std::find(detail_->footerFields.begin(), detail_->footerFields.end(), field) ==
                detail_->footerFields.end()) {
                detail_->footerFields.push_back(field);
            }
        }
        if (detailAggregate || connectionAggregate) ++aggregateDepth;
        for (auto& child : node.args) checkNode(*child, line, place, aggregateDepth);
        if (detailAggregate || connectionAggregate) --aggregateDepth;
    }

    static void checkBandHeight(const BandDef& band) {
        if (!band.height) return;
        for (const ItemDef& item : band.items) {
            const double bottom =
                item.kind == ItemDef::Kind::Line ? std::max(item.y, item.y2) : item.y + item.height;
            if (bottom > *band.height + 0.01) {
                failAt(item.line, QStringLiteral("the item reaches below its band's height"));
            }
        }
    }

    static void checkPage(const ReportDef& report) {
        const PageSetup& page = report.page;
        const double printable = page.width - page.marginLeft - page.marginRight;
        auto checkItems = [&](const BandDef& band) {
            for (const ItemDef& item : band.items) {
                const double right = item.kind == ItemDef::Kind::Line ? std::max(item.x, item.x2)
                                                                      : item.x + item.width;
                if (right > printable + 0.01) {
                    failAt(item.line, QStringLiteral("the item runs past the right margin"));
                }
            }
        };
        auto checkOptional = [&](const std::optional<BandDef>& band) {
            if (band) checkItems(*band);
        };
        checkOptional(report.pageHeader);
        checkOptional(report.pageFooter);
        checkOptional(report.title);
        checkOptional(report.summary);
        for (const BodyPart& part : report.body) {
            checkOptional(part.band);
            if (!part.detail) continue;
            checkItems(part.detail->row);
            checkOptional(part.detail->header);
            checkOptional(part.detail->footer);
            for (const GroupDef& group : part.detail->groups) {
                checkOptional(group.header);
                checkOptional(group.footer);
            }
        }
        const double header = report.pageHeader ? report.pageHeader->height.value_or(0) : 0;
        const double footer = report.pageFooter ? report.pageFooter->height.value_or(0) : 0;
        if (page.height - page.marginTop - page.marginBottom - header - footer < 72) {
            failAt(report.line,
                   QStringLiteral("page header and footer leave less than an inch for the body"));
        }
    }

    std::vector<Statement> statements_;
    size_t pos_ = 0;
    ReportDef* report_ = nullptr;
    DetailDef* detail_ = nullptr;
};

}  // namespace

const ReportDef* ProjectDef::find(const QString& name) const {
    for (const auto& report : reports) {
        if (report->name.compare(name, Qt::CaseInsensitive) == 0) return report.get();
    }
    return nullptr;
}

ParseResult parseProject(const QString& text) {
    ParseResult result;
    std::vector<Statement> statements;
    if (!splitStatements(text, &statements, &result.error)) return result;
    try {
        Parser parser(std::move(statements));
        result.project = parser.run();
    } catch (const Failure& failure) {
        result.error = failure.error;
    }
    return result;
}

}  // namespace report
