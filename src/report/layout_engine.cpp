#include "layout_engine.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "evaluator.h"
#include "text_measure.h"

namespace report {

namespace {

constexpr double kEpsilon = 0.01;

// Text that flows down the page, and onto later pages, line by line.
struct Flow {
    double x = 0, y = 0, width = 0;  // y: from the top of the band
    ResolvedFont font;
    HAlign align = HAlign::Left;
    double lineHeight = 0;
    QStringList lines;
};

// A band measured and evaluated, ready to be put on a page. Ops are relative to the band's top.
struct Block {
    double height = 0;       // including every flow to its end
    double fixedBottom = 0;  // the band without its flows
    std::vector<DrawOp> ops;
    std::vector<Flow> flows;
    bool newPage = false;
    bool keepWithNext = false;

    double firstChunk() const {
        if (flows.empty()) return height;
        double first = fixedBottom;
        for (const Flow& f : flows) first = std::max(first, f.y + f.lineHeight);
        return std::min(height, first);
    }
};

DrawOp shifted(DrawOp op, double dy) {
    std::visit(
        [dy](auto& o) {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, LineOp>) {
                o.from.ry() += dy;
                o.to.ry() += dy;
            } else {
                o.rect.translate(0, dy);
            }
        },
        op);
    return op;
}

class LayoutEngine {
  public:
    LayoutEngine(const ReportDef& report, const LayoutInput& input)
        : report_(report), input_(input) {
        baseScope_.parameters = input.parameters;
        baseScope_.connections = input.connections;
        baseScope_.totals = &totals_;
        document_.reportName = report.name;
        document_.width = report.page.width;
        document_.height = report.page.height;
    }

    Document run() {
        computeTotals();
        const PageSetup& page = report_.page;
        EvalScope pageScope = baseScope_;
        pageScope.page = pageScope.pages = 1;
        const double headerHeight =
            report_.pageHeader ? measure(*report_.pageHeader, pageScope).fixedBottom : 0;
        const double footerHeight =
            report_.pageFooter ? measure(*report_.pageFooter, pageScope).fixedBottom : 0;
        bodyTop_ = page.marginTop + headerHeight;
        bodyBottom_ = std::max(bodyTop_ + 72, page.height - page.marginBottom - footerHeight);

        startPage();
        if (report_.title) runBand(*report_.title, baseScope_);
        for (const BodyPart& part : report_.body) {
            if (part.band) runBand(*part.band, baseScope_);
            if (part.detail) runDetail(*part.detail);
        }
        if (report_.summary) runBand(*report_.summary, baseScope_);
        flushHeld();
        addPageBands(footerHeight);
        return std::move(document_);
    }

  private:
    // total() and rows() are known before the first band, so a title can show a grand total.
    void computeTotals() {
        totals_.assign(report_.totals.size(), Value::number(0));
        std::vector<bool> done(report_.totals.size(), false);
        for (size_t i = 0; i < report_.totals.size(); ++i) {
            if (done[i]) continue;
            const QString connection = report_.totals[i].connection.toLower();
            std::vector<size_t> members;
            for (size_t j = i; j < report_.totals.size(); ++j) {
                if (report_.totals[j].connection.toLower() == connection) {
                    members.push_back(j);
                    done[j] = true;
                }
            }
            ReportDataSet* dataSet =
                input_.connections ? input_.connections->value(connection) : nullptr;
            if (!dataSet) continue;
            std::vector<double> sums(members.size(), 0);
            int rows = 0;
            for (dataSet->first(); !dataSet->atEnd(); dataSet->next()) {
                ++rows;
                for (size_t k = 0; k < members.size(); ++k) {
                    const Expr* value = report_.totals[members[k]].value;
                    if (value) sums[k] += evaluate(*value, baseScope_).toNumber().value_or(0);
                }
            }
            for (size_t k = 0; k < members.size(); ++k) {
                totals_[members[k]] =
                    Value::number(report_.totals[members[k]].value ? sums[k] : rows);
            }
        }
    }

    ResolvedFont resolve(const FontSpec& spec) const {
        const FontSpec& base = report_.font;
        ResolvedFont font;
        font.family = spec.family.isEmpty() ? base.family : spec.family;
        font.size = spec.size > 0 ? spec.size : base.size;
        font.bold = spec.bold.value_or(base.bold.value_or(false));
        font.italic = spec.italic.value_or(base.italic.value_or(false));
        font.underline = spec.underline.value_or(base.underline.value_or(false));
        return font;
    }

    Block measure(const BandDef& band, const EvalScope& scope) {
        Block block;
        double bottom = 0;
        double flowBottom = 0;
        const double left = report_.page.marginLeft;
        for (const ItemDef& item : band.items) {
            switch (item.kind) {
                case ItemDef::Kind::Text: {
                    const ResolvedFont font = resolve(item.font);
                    const double lineHeight = measure_.lineHeight(font);
                    const QString text = evaluate(*item.value, scope).toText();
                    QStringList lines = measure_.breakLines(text, font, item.wrap ? item.width : 0);
                    if (item.grow) {
                        flowBottom = std::max(
                            flowBottom, item.y + std::max(item.height, lines.size() * lineHeight));
                        bottom = std::max(bottom, item.y + item.height);
                        block.flows.push_back({left + item.x, item.y, item.width, font, item.align,
                                               lineHeight, lines});
                        break;
                    }
                    const double height = item.height > 0
                                              ? item.height
                                              : std::max<double>(1, lines.size()) * lineHeight;
                    const qsizetype fit = std::max<qsizetype>(
                        1, static_cast<qsizetype>(std::floor((height + kEpsilon) / lineHeight)));
                    if (lines.size() > fit) lines = lines.mid(0, fit);
                    const double used = lines.size() * lineHeight;
                    double top = item.y;
                    if (item.valign == VAlign::Middle) top += (height - used) / 2;
                    if (item.valign == VAlign::Bottom) top += height - used;
                    for (qsizetype i = 0; i < lines.size(); ++i) {
                        if (lines.at(i).isEmpty()) continue;
                        block.ops.push_back(TextRun{
                            QRectF(left + item.x, top + i * lineHeight, item.width, lineHeight),
                            font, item.align, lines.at(i)});
                    }
                    bottom = std::max(bottom, item.y + height);
                    break;
                }
                case ItemDef::Kind::Line:
                    block.ops.push_back(LineOp{QPointF(left + item.x, item.y),
                                               QPointF(left + item.x2, item.y2), item.penWidth});
                    bottom = std::max({bottom, item.y, item.y2});
                    break;
                case ItemDef::Kind::Box:
                    block.ops.push_back(BoxOp{
                        QRectF(left + item.x, item.y, item.width, item.height), item.penWidth});
                    bottom = std::max(bottom, item.y + item.height);
                    break;
                case ItemDef::Kind::Check:
                    block.ops.push_back(
                        CheckOp{QRectF(left + item.x, item.y, item.width, item.height),
                                evaluate(*item.value, scope).isTrue(), item.frame, item.penWidth});
                    bottom = std::max(bottom, item.y + item.height);
                    break;
            }
        }
        block.fixedBottom = band.height.value_or(bottom);
        block.height = std::max(block.fixedBottom, flowBottom);
        block.newPage = band.newPage;
        block.keepWithNext = band.keepWithNext || band.kind == BandDef::Kind::DetailHeader ||
                             band.kind == BandDef::Kind::GroupHeader;
        return block;
    }

    bool atTopOfPage() const { return cursor_ <= contentTop_ + kEpsilon; }

    void startPage() {
        document_.pages.emplace_back();
        if (input_.pageStarted) input_.pageStarted(static_cast<int>(document_.pages.size()));
        cursor_ = bodyTop_;
        for (const std::optional<Block>& repeated : repeats_) {
            if (!repeated) continue;
            putOnPage(*repeated, document_.pages.size() - 1, cursor_);
            cursor_ += repeated->height;
        }
        contentTop_ = cursor_;
        contentTops_.push_back(cursor_);
    }

    // Puts the block's ops and flows on one page without breaking (page bands, repeats).
    void putOnPage(const Block& block, size_t page, double top) {
        std::vector<DrawOp>& ops = document_.pages[page].ops;
        for (const DrawOp& op : block.ops) ops.push_back(shifted(op, top));
        for (const Flow& flow : block.flows) {
            for (qsizetype i = 0; i < flow.lines.size(); ++i) {
                addLine(page, flow, top + flow.y + i * flow.lineHeight, flow.lines.at(i));
            }
        }
    }

    void addLine(size_t page, const Flow& flow, double y, const QString& text) {
        if (text.isEmpty()) return;
        document_.pages[page].ops.push_back(
            TextRun{QRectF(flow.x, y, flow.width, flow.lineHeight), flow.font, flow.align, text});
    }

    void place(Block block) {
        // Held headings follow onto the new page: they belong to this band.
        if (block.newPage && !atTopOfPage()) startPage();
        if (block.keepWithNext) {
            held_.push_back(std::move(block));
            return;
        }
        if (!held_.empty()) {
            // A block that fits on a fresh page is kept whole, so the headings need all of it
            // beside them; a longer one only its first line.
            const bool keptWhole = block.height <= bodyBottom_ - contentTop_ + kEpsilon;
            double need = keptWhole ? block.height : block.firstChunk();
            for (const Block& h : held_) need += h.height;
            if (need > bodyBottom_ - cursor_ + kEpsilon && !atTopOfPage()) startPage();
            for (const Block& h : held_) placeRaw(h);
            held_.clear();
        }
        placeRaw(block);
    }

    void flushHeld() {
        for (const Block& h : held_) placeRaw(h);
        held_.clear();
    }

    void placeRaw(const Block& block) {
        const double remaining = bodyBottom_ - cursor_;
        if (block.height > remaining + kEpsilon && !atTopOfPage()) {
            const bool fitsOnFreshPage = block.height <= bodyBottom_ - contentTop_ + kEpsilon;
            if (block.flows.empty() || fitsOnFreshPage ||
                block.fixedBottom > remaining + kEpsilon) {
                startPage();
            }
        }
        const size_t firstPage = document_.pages.size() - 1;
        const double top = cursor_;
        std::vector<DrawOp>& ops = document_.pages[firstPage].ops;
        for (const DrawOp& op : block.ops) ops.push_back(shifted(op, top));

        size_t endPage = firstPage;
        double endY = top + block.fixedBottom;
        for (const Flow& flow : block.flows) {
            size_t page = firstPage;
            double y = top + flow.y;
            for (const QString& line : flow.lines) {
                if (y + flow.lineHeight > bodyBottom_ + kEpsilon &&
                    y > contentTops_[page] + kEpsilon) {
                    ++page;
                    if (page >= document_.pages.size()) startPage();
                    y = contentTops_[page];
                }
                addLine(page, flow, y, line);
                y += flow.lineHeight;
            }
            if (page > endPage) {
                endPage = page;
                endY = y;
            } else if (page == endPage) {
                endY = std::max(endY, y);
            }
        }
        cursor_ = endPage == document_.pages.size() - 1 ? endY : contentTop_;
    }

    void runBand(const BandDef& band, const EvalScope& scope) {
        if (band.condition && !evaluate(*band.condition, scope).isTrue()) return;
        place(measure(band, scope));
    }

    void runDetail(const DetailDef& detail) {
        if (detail.condition && !evaluate(*detail.condition, baseScope_).isTrue()) return;
        ReportDataSet* dataSet =
            input_.connections ? input_.connections->value(detail.connection.toLower()) : nullptr;
        auto passes = [&] { return !detail.where || evaluate(*detail.where, baseScope_).isTrue(); };
        // Moves on to the next row that the detail's where lets through (or to the end).
        auto skipPassedOver = [&] {
            while (!dataSet->atEnd() && !passes()) dataSet->next();
        };
        bool hasRows = false;
        if (dataSet) {
            dataSet->first();
            skipPassedOver();
            hasRows = !dataSet->atEnd();
        }
        if (!hasRows && !detail.showEmpty) return;

        const size_t groupCount = detail.groups.size();
        std::vector<std::vector<Accumulator>> levels(
            groupCount + 1, std::vector<Accumulator>(detail.aggregates.size()));
        RowSnapshot snapshot{detail.connection, {}};
        EvalScope rowScope = baseScope_;
        rowScope.aggregates = &levels[0];
        EvalScope footerScope = baseScope_;
        footerScope.snapshot = &snapshot;
        bool newPagePending = detail.newPage;

        // Places a band of the detail; returns the block placed, for headers that repeat.
        auto placeBand = [&](const BandDef& band, const EvalScope& scope) -> std::optional<Block> {
            if (band.condition && !evaluate(*band.condition, scope).isTrue()) return std::nullopt;
            Block block = measure(band, scope);
            if (newPagePending) block.newPage = true;
            newPagePending = false;
            place(block);
            return block;
        };
        auto closeGroups = [&](size_t downTo) {
            for (size_t level = groupCount; level-- > downTo;) {
                const GroupDef& group = detail.groups[level];
                footerScope.aggregates = &levels[level + 1];
                if (group.footer) placeBand(*group.footer, footerScope);
                levels[level + 1].assign(detail.aggregates.size(), Accumulator{});
                repeats_[level + 1].reset();
            }
        };

        repeats_.assign(groupCount + 1, std::nullopt);
        std::optional<Block> detailHeader;
        if (detail.header) detailHeader = placeBand(*detail.header, rowScope);

        std::vector<Value> keys(groupCount);
        std::vector<std::optional<Block>> groupHeaders(groupCount);
        bool firstRow = true;
        while (hasRows && !dataSet->atEnd()) {
            std::vector<Value> newKeys(groupCount);
            for (size_t k = 0; k < groupCount; ++k)
                newKeys[k] = evaluate(*detail.groups[k].key, rowScope);
            size_t changed = firstRow ? 0 : groupCount;
            for (size_t k = 0; !firstRow && k < groupCount; ++k) {
                if (compareValues(keys[k], newKeys[k]) != 0) {
                    changed = k;
                    break;
                }
            }
            if (!firstRow) closeGroups(changed);
            keys = std::move(newKeys);
            for (size_t level = changed; level < groupCount; ++level) {
                const GroupDef& group = detail.groups[level];
                groupHeaders[level] =
                    group.header ? placeBand(*group.header, rowScope) : std::nullopt;
            }

            for (const QString& field : detail.footerFields)
                snapshot.fields[field] = readField(*dataSet, field);
            for (size_t slot = 0; slot < detail.aggregates.size(); ++slot) {
                const Expr* call = detail.aggregates[slot];
                std::optional<double> n;
                if (call->function == Function::Sum)
                    n = evaluate(*call->args[0], rowScope).toNumber();
                for (auto& level : levels) {
                    level[slot].count += 1;
                    if (n) level[slot].sum += *n;
                }
            }
            placeBand(detail.row, rowScope);

            // Headings repeat only once their first row is down, so they never stand alone.
            if (detailHeader && detail.header->repeat) repeats_[0] = detailHeader;
            for (size_t level = changed; level < groupCount; ++level) {
                if (groupHeaders[level] && detail.groups[level].header->repeat) {
                    repeats_[level + 1] = groupHeaders[level];
                }
            }
            firstRow = false;
            dataSet->next();
            skipPassedOver();
        }
        if (hasRows) closeGroups(0);
        footerScope.aggregates = &levels[0];
        if (detail.footer) placeBand(*detail.footer, footerScope);
        flushHeld();
        repeats_.clear();
    }

    void addPageBands(double footerHeight) {
        const int pages = static_cast<int>(document_.pages.size());
        for (int i = 0; i < pages; ++i) {
            EvalScope scope = baseScope_;
            scope.page = i + 1;
            scope.pages = pages;
            const size_t index = static_cast<size_t>(i);
            const PageSetup& page = report_.page;
            if (report_.pageHeader && shown(*report_.pageHeader, scope)) {
                putOnPage(measure(*report_.pageHeader, scope), index, page.marginTop);
            }
            if (report_.pageFooter && shown(*report_.pageFooter, scope)) {
                putOnPage(measure(*report_.pageFooter, scope), index,
                          page.height - page.marginBottom - footerHeight);
            }
        }
    }

    static bool shown(const BandDef& band, const EvalScope& scope) {
        return !band.condition || evaluate(*band.condition, scope).isTrue();
    }

    const ReportDef& report_;
    const LayoutInput& input_;
    EvalScope baseScope_;
    std::vector<Value> totals_;
    TextMeasure measure_;
    Document document_;
    double bodyTop_ = 0, bodyBottom_ = 0;
    double cursor_ = 0, contentTop_ = 0;
    std::vector<double> contentTops_;
    std::vector<Block> held_;
    std::vector<std::optional<Block>> repeats_;
};

}  // namespace

Document layoutReport(const ReportDef& report, const LayoutInput& input) {
    LayoutEngine engine(report, input);
    return engine.run();
}

}  // namespace report
