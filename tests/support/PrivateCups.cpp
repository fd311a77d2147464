#include "PrivateCups.h"
#include "LabelImage.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace Qt::StringLiterals;

namespace {

const QString kStockPpd = u"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"_s;
const QString kData = QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/tests/data/private-cups/");

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

PrivateCups::PrivateCups(const QString &extraConfig)
    : m_dir(QDir::tempPath() + u"/tf-cups-XXXXXX"_s), m_extraConfig(extraConfig)
{
    // cups-pdf finds its configuration by the tag in the queue's device URI.
    m_tag = u"tf"_s + m_dir.path().section(u'-', -1).remove(QRegularExpression(u"[^A-Za-z0-9]"_s));
}

PrivateCups::~PrivateCups()
{
    m_cupsd.terminate(); // SIGTERM to cupsd's own process id; QProcess kills one that outlives the wait
    m_cupsd.waitForFinished(10000);
    if (!m_cupsPdfConf.isEmpty())
        QFile::remove(m_cupsPdfConf);
}

QString PrivateCups::unavailableReason()
{
    if (::geteuid() != 0)
        return u"running as uid %1: cups-pdf and its configuration in /etc/cups need root"_s.arg(::geteuid());
    QStringList missing;
    for (const QString &needed : {u"cupsd"_s, u"lpadmin"_s, u"ipptool"_s, u"pdftotext"_s, u"pdftoppm"_s, u"ps2pdf"_s,
                                  u"/usr/lib/cups/backend/cups-pdf"_s, kStockPpd}) {
        if (needed.startsWith(u'/') ? !QFile::exists(needed) : findProgram(needed).isEmpty())
            missing.append(needed);
    }
    if (!missing.isEmpty())
        return u"missing %1 (tools/setup installs it)"_s.arg(missing.join(u", "_s));
    return QFileInfo(u"/etc/cups"_s).isWritable() ? QString() : u"/etc/cups is not writable"_s;
}

bool PrivateCups::start(QString *error)
{
    // A port on 127.0.0.1 that nothing listens on right now.
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), length) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        m_port = ntohs(address.sin_port);
    ::close(fd);
    // The filters and the backend run as lp: they must reach the folder, and
    // cups-pdf must write into its own.
    const QString dir = m_dir.path();
    const auto fill = [&](const QString &name) {
        return readFile(kData + name).replace(u"@DIR@"_s, dir).replace(u"@PORT@"_s, QString::number(m_port)).toUtf8();
    };
    for (const char *folder : {"spool/tmp", "cache", "state", "log", "pdf"})
        QDir(dir).mkpath(QString::fromLatin1(folder));
    m_cupsPdfConf = u"/etc/cups/cups-pdf-%1.conf"_s.arg(m_tag);
    *error = u"no temporary folder (%1) or free port on 127.0.0.1"_s.arg(m_dir.errorString());
    if (!m_dir.isValid() || m_port == 0 || !QFile::setPermissions(dir, QFile::Permissions(0x7755))
        || !QFile::setPermissions(dir + u"/pdf"_s, QFile::Permissions(0x7777))
        || !writeFile(dir + u"/cupsd.conf"_s, fill(u"cupsd.conf"_s) + m_extraConfig.toUtf8() + '\n', error)
        || !writeFile(dir + u"/cups-files.conf"_s, fill(u"cups-files.conf"_s), error)
        || !writeFile(m_cupsPdfConf, fill(u"cups-pdf.conf"_s), error))
        return false;

    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.setStandardOutputFile(dir + u"/log/cupsd.out"_s);
    m_cupsd.start(findProgram(u"cupsd"_s), {u"-f"_s, u"-c"_s, dir + u"/cupsd.conf"_s, u"-s"_s, dir + u"/cups-files.conf"_s});
    // It answers once its configuration is read and its sockets are open.
    const QDeadlineTimer deadline(15000);
    QString answer;
    while (m_cupsd.waitForStarted(10000) && !deadline.hasExpired()) {
        if (run({u"lpstat"_s, u"-r"_s}, error, &answer) && answer.trimmed() == u"scheduler is running"_s)
            return true;
        QThread::msleep(20);
    }
    *error = u"cupsd in %1 did not come up: %2 %3"_s.arg(dir, m_cupsd.errorString(), readFile(dir + u"/log/error_log"_s));
    return false;
}

QString PrivateCups::server(bool overTcp) const
{
    return overTcp ? u"127.0.0.1:%1"_s.arg(m_port) : m_dir.filePath(u"cups.sock"_s);
}

QProcessEnvironment PrivateCups::clientEnvironment(bool overTcp) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"CUPS_SERVER"_s, server(overTcp));
    environment.remove(u"PRINTER"_s);
    environment.remove(u"LPDEST"_s);
    return environment;
}

bool PrivateCups::run(const QStringList &command, QString *error, QString *output) const
{
    const ProgramRun run = runProgram(command.first(), command.mid(1), clientEnvironment(), 60000);
    if (output)
        *output = run.output;
    if (run.exitCode != 0 && error)
        *error = u"%1 failed (exit %2): %3"_s.arg(command.join(u' ')).arg(run.exitCode).arg(run.errors.trimmed());
    return run.exitCode == 0;
}

bool PrivateCups::addQueue(const QString &name, const QString &description, Media media, QString *error, int dpi) const
{
    QString ppd = media == Media::Label ? kData + u"label.ppd"_s : kStockPpd;
    if (dpi > 0) {
        // The label printer's one resolution, as its driver would list it.
        ppd = m_dir.filePath(u"label-%1dpi.ppd"_s.arg(dpi));
        const QString option =
            u"*OpenUI *Resolution/Resolution: PickOne\n*OrderDependency: 100 AnySetup *Resolution\n"
            "*DefaultResolution: %1x%1dpi\n*Resolution %1x%1dpi/%1 dpi: \"<</HWResolution[%1 %1]>>setpagedevice\"\n"
            "*CloseUI: *Resolution\n"_s.arg(dpi);
        if (!writeFile(ppd, (readFile(kData + u"label.ppd"_s) + option).toUtf8(), error))
            return false;
    }
    return run({u"lpadmin"_s, u"-p"_s, name, u"-E"_s, u"-D"_s, description, u"-v"_s, u"cups-pdf:/"_s + m_tag, u"-P"_s, ppd,
                u"-o"_s, u"pdftops-renderer-default=pdftocairo"_s},
               error);
}

QList<PrivateCups::Job> PrivateCups::jobs(const QString &queue) const
{
    // cupsd answers Get-Jobs with at most 500 jobs at a time: ask page by
    // page. Each CSV line of ipptool -c holds the four columns; the title
    // comes last, as the tests' titles hold no commas, quotes or backslashes
    // that ipptool would quote.
    const QString uri = u"ipp://%1/"_s.arg(QString::fromLatin1(QUrl::toPercentEncoding(server())));
    static const QRegularExpression line(uR"(^(\d+),[^,]*/([^/,]*),(\d*),(.*)$)"_s, QRegularExpression::MultilineOption);
    QMap<int, Job> byId;
    QString output;
    for (qsizetype seen = -1; seen < byId.size();) {
        seen = byId.size();
        if (!run({u"ipptool"_s, u"-c"_s, u"-d"_s, u"first=%1"_s.arg(seen + 1), uri, kData + u"get-jobs.test"_s}, nullptr, &output))
            break;
        for (const QRegularExpressionMatch &m : line.globalMatch(output))
            byId.insert(m.captured(1).toInt(), {m.captured(1).toInt(), m.captured(2), m.captured(3).isEmpty() ? 1 : m.captured(3).toInt(), m.captured(4)});
    }
    QList<Job> jobs;
    std::copy_if(byId.begin(), byId.end(), std::back_inserter(jobs), [&](const Job &job) { return queue.isEmpty() || job.queue == queue; });
    return jobs;
}

QString PrivateCups::spooledFile(int jobId) const
{
    return m_dir.filePath(u"spool/d%1-001"_s.arg(jobId, 5, 10, QChar(u'0')));
}

QString PrivateCups::spooledPdf(int jobId, QString *error) const
{
    QString spooled = spooledFile(jobId);
    QFile file(spooled);
    if (!file.open(QIODevice::ReadOnly) || !file.read(2).startsWith("%!"))
        return spooled;
    QString pdf = m_dir.filePath(u"job%1.pdf"_s.arg(jobId));
    if (!QFile::exists(pdf)) {
        if (const ProgramRun convert = runProgram(u"ps2pdf"_s, {spooled, pdf}); convert.exitCode != 0) {
            *error = u"ps2pdf: "_s + convert.errors;
            return {};
        }
    }
    return pdf;
}

QString PrivateCups::jobsDifference(const QList<Job> &jobs, const QString &queue, const QString &word, const QStringList &codes,
                                    const QList<int> &copies, Media media, const QString &builtIn) const
{
    QString sent, expected;
    for (const Job &job : jobs)
        sent += u"%1 '%2' copies %3\n"_s.arg(job.queue, job.title).arg(job.copies);
    for (qsizetype i = 0; i < codes.size(); ++i)
        expected += u"%1 'TagFoundry %2 %3' copies %4\n"_s.arg(queue, word, codes[i]).arg(copies[i]);
    if (sent != expected)
        return u"jobs:\n%1instead of:\n%2"_s.arg(sent, expected);
    // The label media in points: its size and its unprintable border.
    const bool label = media == Media::Label;
    const QPointF corner = label ? kLabelCorner : QPointF();
    const QSizeF size = label ? QSizeF(288, 144) : QSizeF(595, 842);
    constexpr int dpi = 288; // 4 pixels to the point
    const QStringList builtInPdfs = builtIn.isEmpty() ? QStringList() : pdfsIn(builtIn);
    for (qsizetype i = 0; i < builtInPdfs.size(); ++i) {
        QString error;
        const QString pdf = spooledPdf(jobs[i].id, &error);
        if (pdf.isEmpty())
            return error;
        const QList<QImage> pages = LabelImage::renderPdf(pdf, dpi);
        if (pages.size() != 1 || QSizeF(pages[0].size()) / 4 != size)
            return u"%1: %2 pages, the first %3 by %4 pixels"_s.arg(codes[i]).arg(pages.size()).arg(pages.value(0).width()).arg(pages.value(0).height());
        if (const QStringList read = LabelImage::decodeCode39(LabelImage::renderPdf(pdf, 203).value(0)); read != QStringList{codes[i]})
            return codes[i] + u": barcodes read: "_s + read.join(u", "_s);
        // Places holding one text each, in points from the printable corner:
        // the code inside its frame, and the first label's bold note, far
        // apart, so that a shift or a scale shows.
        const QImage reference = LabelImage::renderPdf(builtIn + u'/' + builtInPdfs[i], dpi).value(0);
        for (const QRectF &area : i == 0 ? QList<QRectF>{{13, 6, 137, 22}, {170, 102.5, 100, 17.5}} : QList<QRectF>{{13, 6, 137, 22}}) {
            const QRectF at = LabelImage::inkIn(pages[0], dpi, corner, area), want = LabelImage::inkIn(reference, dpi, QPointF(), area);
            const QPointF from = at.topLeft() - want.topLeft(), to = at.bottomRight() - want.bottomRight();
            if (want.isEmpty() || std::max({qAbs(from.x()), qAbs(from.y()), qAbs(to.x()), qAbs(to.y())}) > 0.5) {
                QString text;
                QDebug(&text) << codes[i] << "ink at" << at << "pt, the built-in printer's at" << want;
                return text;
            }
        }
    }
    return builtIn.isEmpty() || builtInPdfs.size() == codes.size() ? QString() : u"%1 built-in PDFs"_s.arg(builtInPdfs.size());
}
