#include "importbatch.h"

#include "daykind.h"
#include "flushahead.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace rusena::library {

namespace {

DayImport refused(QString reason)
{
    return { DayImport::Result::Failed, {}, std::move(reason) };
}

} // namespace

QString escapeControls(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            out += QStringLiteral("\\x%1").arg(uint(c.unicode()), 2, 16, QChar(u'0'));
        else
            out += c;
    }
    return out;
}

namespace {

ImportLine reportLine(const QString &source, const QString &member, DayImport outcome)
{
    outcome.reason = escapeControls(outcome.reason);
    return { escapeControls(source), escapeControls(member), std::move(outcome) };
}

// Files a source's days, a report line each (one line for a source that gives none).
void fileSource(Library &library, const SourceDays &source, BatchReport &report)
{
    if (!source.error.isEmpty()) {
        report.lines.append(reportLine(source.path, {}, refused(source.error)));
        return;
    }
    for (const PreparedDay &day : source.days)
        report.lines.append(reportLine(
            source.path, source.archive ? day.fileName : QString(), library.importDay(day)));
    for (const QString &name : source.ignored)
        report.lines.append(ignoredLine(source.path, name));
}

} // namespace

int BatchReport::count(DayImport::Result result) const
{
    return int(std::count_if(lines.begin(), lines.end(),
        [&](const ImportLine &line) { return line.outcome.result == result; }));
}

int BatchReport::count(DayImport::Result result, DayKind kind) const
{
    return int(std::count_if(lines.begin(), lines.end(), [&](const ImportLine &line) {
        return line.outcome.result == result && line.outcome.kind == kind;
    }));
}

QDate BatchReport::latestDay() const
{
    QDate latest;
    for (const ImportLine &line : lines) {
        if (line.outcome.stored() && line.outcome.kind == DayKind::Result
            && (!latest.isValid() || line.outcome.date > latest))
            latest = line.outcome.date;
    }
    return latest;
}

QStringList collectSources(const QStringList &paths, QStringList *strays)
{
    QStringList out;
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir()) {
            out.append(path);
            continue;
        }
        QStringList found;
        QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString name = it.fileName();
            if (isArchiveName(name) || kindOfFileName(name))
                found.append(file);
            else if (strays)
                strays->append(file);
        }
        found.sort();
        out.append(found);
    }
    if (strays)
        strays->sort();
    return out;
}

ImportLine ignoredLine(const QString &source, const QString &member)
{
    return reportLine(source, member,
        { DayImport::Result::Ignored, {}, QStringLiteral("日のファイルではありません") });
}

namespace {

// A group's commit failed: its days never reached the index.
void commitGroup(Library &library, BatchReport &report, qsizetype firstLine)
{
    const Status committed = library.commitDays();
    if (committed.ok())
        return;
    for (qsizetype i = firstLine; i < report.lines.size(); ++i) {
        DayImport &outcome = report.lines[i].outcome;
        if (outcome.result == DayImport::Result::Added
            || outcome.result == DayImport::Result::Replaced)
            outcome = { DayImport::Result::Failed, outcome.date, committed.error, outcome.kind };
    }
}

} // namespace

BatchReport importSources(
    Library &library, const QStringList &sources, const BatchProgress &progress)
{
    // Days go to the index in groups of about this long, each group one commit: a kill
    // loses at most the group under way, whose raw files are already in place.
    constexpr qint64 GroupMs = 250;
    BatchReport report;
    // One writer at a time: when another holds the library, nothing is read or written.
    const Status writing = library.beginWriting();
    if (!writing.ok()) {
        for (const QString &path : sources)
            report.lines.append(reportLine(path, {}, refused(writing.error)));
        return report;
    }
    QElapsedTimer group;
    qsizetype groupStart = 0;
    library.beginDays();
    // Into an empty library the indexes are made once after the rows, in a sorted pass,
    // instead of taking each row in turn.
    const bool deferred = sources.size() > 1 && library.deferIndexes();
    std::optional<SourceQueue> ahead;
    std::optional<FlushAhead> flush;
    if (sources.size() > 1) {
        ahead.emplace(sources);
        flush.emplace(library.dataFolder());
    }
    group.start();
    for (const QString &path : sources) {
        if (progress && !progress(report.sourcesDone, int(sources.size()))) {
            report.cancelled = true;
            break;
        }
        if (ahead) {
            std::optional<SourceDays> days = ahead->next();
            if (!days)
                break;
            fileSource(library, *days, report);
            ahead->recycle(std::move(*days));
        } else {
            fileSource(library, readSource(path), report);
        }
        ++report.sourcesDone;
        if (group.elapsed() >= GroupMs) {
            commitGroup(library, report, groupStart);
            groupStart = report.lines.size();
            library.beginDays();
            group.restart();
        }
    }
    commitGroup(library, report, groupStart);
    if (deferred)
        library.restoreIndexes();
    library.endWriting();
    if (progress && !report.cancelled)
        progress(report.sourcesDone, int(sources.size()));
    return report;
}

} // namespace rusena::library
