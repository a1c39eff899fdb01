// Draws the time per item of benchmark families against their size from
// Google Benchmark's JSON output (--benchmark_out=F --benchmark_out_format=json):
// a logarithmic size axis, one line per series, a legend. The size is the
// first argument of a run's name (".../commands:N..."); the series is the
// name without it.
// Medians of repetitions are used when the file has them, otherwise the median
// of the runs listed.
//
// Usage: tnui_bench_plot [--filter REGEX] [--counter NAME] [--title TEXT]
//                        --out PLOT.png RESULTS.json[=PREFIX]...
// --counter names a per-item time counter (default per_command, in seconds
// as Google Benchmark writes rates inverted); without it in a run, the run's
// real time divided by the size is used. PREFIX is put before the series
// names of that file, to compare runs of two builds.

#include <QColor>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Options {
    QString out, title = QStringLiteral("Time per command"), counter = QStringLiteral("per_command");
    QRegularExpression filter{QStringLiteral(".")};
    QStringList inputs;
};

// Series name -> size -> the per-item times in nanoseconds of its runs.
using Samples = QMap<QString, QMap<double, std::vector<double>>>;

double toNanoseconds(double value, const QString& unit)
{
    if (unit == QLatin1String("ms"))
        return value * 1e6;
    if (unit == QLatin1String("us"))
        return value * 1e3;
    if (unit == QLatin1String("s"))
        return value * 1e9;
    return value;
}

bool read(const QString& source, const Options& options, Samples& samples)
{
    const qsizetype eq = source.indexOf(QLatin1Char('='));
    const QString path = eq < 0 ? source : source.left(eq);
    const QString prefix = eq < 0 ? QString() : source.mid(eq + 1) + QLatin1Char(' ');
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    // Google Benchmark writes NaN and infinities (the spread of runs that did
    // not vary, say) as bare words, which JSON has not: they become null.
    static const QRegularExpression notJson(QStringLiteral("(?<=[\\s:\\[,])-?(nan|NaN|inf|Infinity)(?=[\\s,\\]}])"));
    const QString text = QString::fromUtf8(file.readAll()).replace(notJson, QStringLiteral("null"));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (document.isNull()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error.errorString()));
        return false;
    }
    const QJsonArray runs = document.object().value(QLatin1String("benchmarks")).toArray();
    bool medians = false;
    for (const auto& r : runs)
        medians |= r.toObject().value(QLatin1String("aggregate_name")).toString() == QLatin1String("median");
    static const QRegularExpression sizeInName(QStringLiteral("/[^/:]+:(\\d+)"));
    for (const auto& r : runs) {
        const QJsonObject run = r.toObject();
        const bool aggregate = run.value(QLatin1String("run_type")).toString() == QLatin1String("aggregate");
        if (medians ? run.value(QLatin1String("aggregate_name")).toString() != QLatin1String("median") : aggregate)
            continue;
        const QString name = run.value(QLatin1String("run_name")).toString();
        const QRegularExpressionMatch size = sizeInName.match(name);
        if (!options.filter.match(name).hasMatch() || !size.hasMatch() || run.contains(QLatin1String("error_message")))
            continue;
        const double n = size.captured(1).toDouble();
        double ns = 0;
        if (run.contains(options.counter))
            ns = run.value(options.counter).toDouble() * 1e9;
        else
            ns = toNanoseconds(run.value(QLatin1String("real_time")).toDouble(),
                               run.value(QLatin1String("time_unit")).toString()) /
                 n;
        const QString series = QString(name).remove(size.capturedStart(), size.capturedLength());
        samples[prefix + series][n].push_back(ns);
    }
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t m = v.size() / 2;
    return v.size() % 2 != 0 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// A round step giving about `ticks` intervals over [0, top].
double niceStep(double top, int ticks)
{
    const double raw = top / ticks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double f : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (f * magnitude >= raw)
            return f * magnitude;
    }
    return 10 * magnitude;
}

QString sizeLabel(double n)
{
    if (n >= 1e6 && std::fmod(n, 1e6) == 0)
        return QStringLiteral("%1M").arg(n / 1e6);
    if (n >= 1e3 && std::fmod(n, 1e3) == 0)
        return QStringLiteral("%1k").arg(n / 1e3);
    return QString::number(n);
}

QImage draw(const QMap<QString, QMap<double, double>>& series, const Options& options)
{
    const int width = 900, height = 560, left = 90, right = 30, top = 50, bottom = 70;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(14);
    p.setFont(font);

    double minN = 1e300, maxN = 0, maxY = 0;
    for (const auto& s : series) {
        for (auto it = s.begin(); it != s.end(); ++it) {
            minN = std::min(minN, it.key());
            maxN = std::max(maxN, it.key());
            maxY = std::max(maxY, it.value());
        }
    }
    const double step = niceStep(maxY * 1.05, 6);
    const double topY = std::ceil(maxY * 1.05 / step) * step;
    const double lo = std::log10(minN), hi = std::max(std::log10(maxN), lo + 1);
    const QRectF plot(left, top, width - left - right, height - top - bottom);
    const auto x = [&](double n) { return plot.left() + (std::log10(n) - lo) / (hi - lo) * plot.width(); };
    const auto y = [&](double v) { return plot.bottom() - v / topY * plot.height(); };

    // Grid, ticks and labels: a line every step, and at every power of ten.
    const int lines = static_cast<int>(std::lround(topY / step));
    const int firstPower = static_cast<int>(std::ceil(lo)), lastPower = static_cast<int>(std::floor(hi + 1e-9));
    p.setPen(QColor(225, 225, 225));
    for (int i = 0; i <= lines; ++i)
        p.drawLine(QPointF(plot.left(), y(i * step)), QPointF(plot.right(), y(i * step)));
    for (int e = firstPower; e <= lastPower; ++e)
        p.drawLine(QPointF(x(std::pow(10, e)), plot.top()), QPointF(x(std::pow(10, e)), plot.bottom()));
    p.setPen(Qt::black);
    p.drawRect(plot);
    for (int i = 0; i <= lines; ++i)
        p.drawText(QRectF(0, y(i * step) - 10, left - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(i * step));
    for (int e = firstPower; e <= lastPower; ++e) {
        const double n = std::pow(10, e);
        p.drawText(QRectF(x(n) - 40, plot.bottom() + 6, 80, 20), Qt::AlignHCenter | Qt::AlignTop, sizeLabel(n));
    }
    p.drawText(QRectF(plot.left(), height - 32, plot.width(), 24), Qt::AlignCenter,
               QStringLiteral("items (logarithmic)"));
    p.save();
    p.translate(22, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, -12, plot.height(), 24), Qt::AlignCenter,
               QStringLiteral("time per item (ns)"));
    p.restore();
    QFont bold = font;
    bold.setPixelSize(17);
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRectF(0, 10, width, 30), Qt::AlignCenter, options.title);
    p.setFont(font);

    // One line per series, with its points marked, and the legend.
    static const QColor colours[] = {QColor(31, 119, 180),  QColor(214, 39, 40),  QColor(44, 160, 44),
                                     QColor(148, 103, 189), QColor(255, 127, 14), QColor(140, 86, 75)};
    int index = 0;
    for (auto s = series.begin(); s != series.end(); ++s, ++index) {
        const QColor colour = colours[index % std::size(colours)];
        QPainterPath path;
        for (auto it = s->begin(); it != s->end(); ++it) {
            const QPointF point(x(it.key()), y(it.value()));
            if (it == s->begin())
                path.moveTo(point);
            else
                path.lineTo(point);
        }
        p.setPen(QPen(colour, 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setBrush(colour);
        for (auto it = s->begin(); it != s->end(); ++it)
            p.drawEllipse(QPointF(x(it.key()), y(it.value())), 4, 4);
        const QPointF legend(plot.left() + 16, plot.top() + 20 + 22 * index);
        p.drawLine(legend, legend + QPointF(28, 0));
        p.setPen(Qt::black);
        p.drawText(QRectF(legend.x() + 36, legend.y() - 10, 400, 20), Qt::AlignLeft | Qt::AlignVCenter, s.key());
    }
    return image;
}

bool parse(const QStringList& args, Options& options)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--out") && hasValue)
            options.out = args[++i];
        else if (a == QLatin1String("--filter") && hasValue)
            options.filter.setPattern(args[++i]);
        else if (a == QLatin1String("--counter") && hasValue)
            options.counter = args[++i];
        else if (a == QLatin1String("--title") && hasValue)
            options.title = args[++i];
        else if (a.startsWith(QLatin1String("--")))
            return false;
        else
            options.inputs << a;
    }
    return !options.out.isEmpty() && !options.inputs.isEmpty() && options.filter.isValid();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication app(argc, argv);
    Options options;
    if (!parse(QGuiApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: tnui_bench_plot [--filter REGEX] [--counter NAME] [--title TEXT] "
                             "--out PLOT.png RESULTS.json[=PREFIX]...\n");
        return 2;
    }
    Samples samples;
    for (const QString& input : options.inputs) {
        if (!read(input, options, samples))
            return 1;
    }
    QMap<QString, QMap<double, double>> series;
    for (auto s = samples.begin(); s != samples.end(); ++s) {
        for (auto it = s->begin(); it != s->end(); ++it)
            series[s.key()][it.key()] = median(it.value());
    }
    if (series.isEmpty()) {
        std::fprintf(stderr, "no run matches\n");
        return 1;
    }
    QTextStream out(stdout);
    for (auto s = series.begin(); s != series.end(); ++s) {
        for (auto it = s->begin(); it != s->end(); ++it)
            out << s.key() << '\t' << it.key() << '\t' << it.value() << " ns\n";
    }
    if (!draw(series, options).save(options.out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(options.out));
        return 1;
    }
    return 0;
}
