#include "PrivateCups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>

namespace {

const QString kStockPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString kCupsPdfBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QStringList kSearchPath = {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/sbin"),
                                 QStringLiteral("/bin")};

QString findProgram(const QString &name)
{
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name, kSearchPath);
    return found;
}

// A TCP port on 127.0.0.1 that nothing listens on right now.
int freeLoopbackPort()
{
#ifdef Q_OS_UNIX
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
#else
    return 0;
#endif
}

bool acceptsConnections(const QString &socketPath)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
#else
    Q_UNUSED(socketPath);
    return false;
#endif
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size())
        return true;
    if (error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

// The stock cups-pdf driver with one more size, the label, made its default.
QByteArray labelPpd(const QByteArray &stock)
{
    const QByteArray name = "w288h144";
    const QByteArray title = name + "/Label 4 x 2 in: ";
    const QByteArray setup = "\"<</PageSize[288 144]/ImagingBBox null>>setpagedevice\"";
    const QByteArray area = QByteArray::number(PrivateCups::kLabelLeft) + ' '
                            + QByteArray::number(PrivateCups::kLabelBottom) + ' '
                            + QByteArray::number(PrivateCups::kLabelWidth - PrivateCups::kLabelRight) + ' '
                            + QByteArray::number(PrivateCups::kLabelHeight - PrivateCups::kLabelTop);
    QByteArray out;
    for (const QByteArray &line : stock.split('\n')) {
        static const QByteArrayList defaults = {"PageSize", "PageRegion", "ImageableArea", "PaperDimension"};
        bool replaced = false;
        for (const QByteArray &key : defaults) {
            if (line.startsWith("*Default" + key + ": A4")) {
                out += "*Default" + key + ": " + name + '\n';
                replaced = true;
            }
        }
        if (replaced)
            continue;
        out += line + '\n';
        if (line.startsWith("*PageSize A4/"))
            out += "*PageSize " + title + setup + '\n';
        else if (line.startsWith("*PageRegion A4/"))
            out += "*PageRegion " + title + setup + '\n';
        else if (line.startsWith("*ImageableArea A4/"))
            out += "*ImageableArea " + title + '"' + area + "\"\n";
        else if (line.startsWith("*PaperDimension A4/"))
            out += "*PaperDimension " + title + "\"288 144\"\n";
    }
    return out;
}

// One CSV line of ipptool -c: fields separated by commas, quoted when needed.
QStringList csvFields(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields.append(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

} // namespace

PrivateCups::PrivateCups(QStringList extraConfig)
    : m_extraConfig(std::move(extraConfig)), m_dir(QDir::tempPath() + QStringLiteral("/tf-cups-XXXXXX"))
{
    // cups-pdf finds its configuration by the tag in the queue's device URI.
    m_tag = QStringLiteral("tf") + QFileInfo(m_dir.path()).fileName().section(QLatin1Char('-'), -1);
    m_tag.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
}

PrivateCups::~PrivateCups()
{
    stop();
    if (!m_cupsPdfConf.isEmpty())
        QFile::remove(m_cupsPdfConf);
}

bool PrivateCups::runningAsRoot()
{
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

QString PrivateCups::unavailableReason()
{
#ifndef Q_OS_LINUX
    return QStringLiteral("the private print spooler runs on Linux only");
#else
    if (!runningAsRoot())
        return QStringLiteral("running as uid %1: cupsd's cups-pdf backend and its configuration in /etc/cups "
                              "need root; run the tests as root")
            .arg(::geteuid());
    QStringList missing;
    for (const char *program : {"cupsd", "lpadmin", "lpstat", "lp", "cupsreject", "cupsaccept", "cupsdisable",
                                "ipptool", "pdftotext", "pdftoppm"}) {
        if (findProgram(QString::fromLatin1(program)).isEmpty())
            missing.append(QString::fromLatin1(program));
    }
    for (const QString &file : {kCupsPdfBackend, kStockPpd}) {
        if (!QFileInfo::exists(file))
            missing.append(file);
    }
    if (!missing.isEmpty())
        return QStringLiteral("missing %1 (run tools/setup as root to install cups, cups-client, cups-bsd, "
                              "cups-ipp-utils, printer-driver-cups-pdf and poppler-utils)")
            .arg(missing.join(QStringLiteral(", ")));
    if (!QFileInfo(QStringLiteral("/etc/cups")).isWritable())
        return QStringLiteral("/etc/cups is not writable");
    return {};
#endif
}

QString PrivateCups::path(const QString &name) const
{
    return m_dir.filePath(name);
}

QString PrivateCups::socketPath() const
{
    return path(QStringLiteral("cups.sock"));
}

QString PrivateCups::server(bool overTcp) const
{
    return overTcp ? QStringLiteral("127.0.0.1:%1").arg(m_port) : socketPath();
}

QProcessEnvironment PrivateCups::clientEnvironment(bool overTcp) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), server(overTcp));
    environment.remove(QStringLiteral("PRINTER"));
    environment.remove(QStringLiteral("LPDEST"));
    return environment;
}

bool PrivateCups::writeConfiguration(QString *error)
{
    if (!m_dir.isValid()) {
        if (error)
            *error = QStringLiteral("cannot create a temporary folder: %1").arg(m_dir.errorString());
        return false;
    }
    m_port = freeLoopbackPort();
    if (m_port == 0) {
        if (error)
            *error = QStringLiteral("no free TCP port on 127.0.0.1");
        return false;
    }
    // The filters and the backend run as lp (or root dropping to the job's
    // user): they must reach the folder and write their output into it.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                            | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                        | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
                                        | QFile::ExeOther;
    for (const char *folder : {"spool", "spool/tmp", "cache", "state", "log", "out", "cups-pdf-spool", "cups-pdf-log"}) {
        QDir().mkpath(path(QString::fromLatin1(folder)));
    }
    for (const char *folder : {"out", "cups-pdf-spool", "cups-pdf-log"})
        QFile::setPermissions(path(QString::fromLatin1(folder)), everyone);

    const QString dir = m_dir.path();
    QByteArray cupsd = "LogLevel warn\n"
                       "Listen " + QFile::encodeName(socketPath()) + "\n"
                       "Listen 127.0.0.1:" + QByteArray::number(m_port) + "\n"
                       "Browsing No\n"
                       "WebInterface No\n"
                       "DefaultAuthType None\n"
                       "PreserveJobHistory Yes\n"
                       "PreserveJobFiles Yes\n"
                       "MaxJobs 0\n"
                       "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                       "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                       "<Policy default>\n"
                       "  JobPrivateAccess all\n  JobPrivateValues none\n"
                       "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
                       "  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                       "</Policy>\n";
    for (const QString &line : m_extraConfig)
        cupsd += line.toUtf8() + '\n';
    const QByteArray d = QFile::encodeName(dir);
    const QByteArray files = "ServerRoot " + d + "\n"
                             "RequestRoot " + d + "/spool\n"
                             "TempDir " + d + "/spool/tmp\n"
                             "CacheDir " + d + "/cache\n"
                             "StateDir " + d + "/state\n"
                             "AccessLog " + d + "/log/access_log\n"
                             "ErrorLog " + d + "/log/error_log\n"
                             "PageLog " + d + "/log/page_log\n"
                             "Printcap " + d + "/printcap\n"
                             "DataDir /usr/share/cups\n"
                             "ServerBin /usr/lib/cups\n";
    const QByteArray getJobs = "{\n"
                               "  OPERATION Get-Jobs\n"
                               "  GROUP operation-attributes-tag\n"
                               "  ATTR charset attributes-charset utf-8\n"
                               "  ATTR naturalLanguage attributes-natural-language en\n"
                               "  ATTR uri printer-uri $uri\n"
                               "  ATTR keyword which-jobs all\n"
                               "  ATTR integer first-index $first\n"
                               "  ATTR keyword requested-attributes job-id,job-printer-uri,copies,job-state,job-name\n"
                               "  STATUS successful-ok\n"
                               "  DISPLAY job-id\n  DISPLAY job-printer-uri\n  DISPLAY copies\n"
                               "  DISPLAY job-state\n  DISPLAY job-name\n"
                               "}\n";
    const QByteArray cupsPdf = "Out " + d + "/out\n"
                               "AnonDirName " + d + "/out\n"
                               "Spool " + d + "/cups-pdf-spool\n"
                               "Log " + d + "/cups-pdf-log\n";
    QFile stock(kStockPpd);
    if (!stock.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(kStockPpd);
        return false;
    }
    m_cupsPdfConf = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(m_tag);
    return writeFile(path(QStringLiteral("cupsd.conf")), cupsd, error)
        && writeFile(path(QStringLiteral("cups-files.conf")), files, error)
        && writeFile(path(QStringLiteral("get-jobs.test")), getJobs, error)
        && writeFile(path(QStringLiteral("label.ppd")), labelPpd(stock.readAll()), error)
        && writeFile(m_cupsPdfConf, cupsPdf, error);
}

bool PrivateCups::start(QString *error)
{
    if (isRunning())
        return true;
    if (m_port == 0 && !writeConfiguration(error))
        return false;
    m_cupsd = std::make_unique<QProcess>();
    m_cupsd->setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd->setStandardOutputFile(path(QStringLiteral("log/cupsd.out")), QIODevice::Append);
    m_cupsd->start(findProgram(QStringLiteral("cupsd")),
                   {QStringLiteral("-f"), QStringLiteral("-c"), path(QStringLiteral("cupsd.conf")),
                    QStringLiteral("-s"), path(QStringLiteral("cups-files.conf"))});
    if (!m_cupsd->waitForStarted(10000)) {
        if (error)
            *error = QStringLiteral("cupsd did not start: %1").arg(m_cupsd->errorString());
        m_cupsd.reset();
        return false;
    }
    // cupsd creates its socket once its configuration is read; poll for it.
    const QDeadlineTimer deadline(15000);
    while (!acceptsConnections(socketPath())) {
        if (m_cupsd->state() != QProcess::Running || deadline.hasExpired()) {
            QFile log(path(QStringLiteral("log/error_log")));
            log.open(QIODevice::ReadOnly);
            if (error)
                *error = QStringLiteral("cupsd in %1 did not come up: %2").arg(m_dir.path(),
                                                                               QString::fromLocal8Bit(log.readAll()));
            stop();
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

void PrivateCups::stop()
{
    if (!m_cupsd)
        return;
    if (m_cupsd->state() != QProcess::NotRunning) {
        m_cupsd->terminate(); // SIGTERM to cupsd's own process id
        if (!m_cupsd->waitForFinished(10000)) {
            m_cupsd->kill();
            m_cupsd->waitForFinished(5000);
        }
    }
    m_cupsd.reset();
}

bool PrivateCups::isRunning() const
{
    return m_cupsd && m_cupsd->state() == QProcess::Running;
}

bool PrivateCups::runClient(const QString &program, const QStringList &arguments, QString *output,
                            QString *error) const
{
    QProcess process;
    process.setProcessEnvironment(clientEnvironment());
    process.start(findProgram(program), arguments);
    const bool finished = process.waitForFinished(60000);
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (output)
        *output = out;
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    if (error)
        *error = QStringLiteral("%1 %2 failed: %3 %4")
                     .arg(program, arguments.join(QLatin1Char(' ')), process.errorString(),
                          QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
    return false;
}

bool PrivateCups::addQueue(const QString &name, const QString &description, Media media, QString *error)
{
    const QString ppd = media == Media::Label ? path(QStringLiteral("label.ppd")) : kStockPpd;
    return runClient(QStringLiteral("lpadmin"),
                     {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-D"), description,
                      QStringLiteral("-v"), QStringLiteral("cups-pdf:/") + m_tag, QStringLiteral("-P"), ppd,
                      QStringLiteral("-o"), QStringLiteral("pdftops-renderer-default=pdftocairo")},
                     nullptr, error);
}

bool PrivateCups::setDefault(const QString &name, QString *error)
{
    return runClient(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name}, nullptr, error);
}

bool PrivateCups::reject(const QString &name, const QString &reason, QString *error)
{
    return runClient(QStringLiteral("cupsreject"), {QStringLiteral("-r"), reason, name}, nullptr, error);
}

bool PrivateCups::accept(const QString &name, QString *error)
{
    return runClient(QStringLiteral("cupsaccept"), {name}, nullptr, error);
}

bool PrivateCups::disable(const QString &name, const QString &reason, QString *error)
{
    return runClient(QStringLiteral("cupsdisable"), {QStringLiteral("-r"), reason, name}, nullptr, error);
}

bool PrivateCups::removeQueue(const QString &name, QString *error)
{
    return runClient(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name}, nullptr, error);
}

bool PrivateCups::holdNewJobs(const QString &name, QString *error)
{
    return runClient(QStringLiteral("lpadmin"),
                     {QStringLiteral("-p"), name, QStringLiteral("-o"), QStringLiteral("job-hold-until-default=indefinite")},
                     nullptr, error);
}

QList<PrivateCups::Job> PrivateCups::jobs(QString *error) const
{
    // cupsd answers Get-Jobs with at most 500 jobs at a time: ask page by page.
    const QString uri = QStringLiteral("ipp://%1/").arg(QString::fromLatin1(QUrl::toPercentEncoding(socketPath())));
    QList<Job> jobs;
    QSet<int> seen;
    for (;;) {
        QString output;
        if (!runClient(QStringLiteral("ipptool"),
                       {QStringLiteral("-c"), QStringLiteral("-d"), QStringLiteral("first=%1").arg(jobs.size() + 1), uri,
                        path(QStringLiteral("get-jobs.test"))},
                       &output, error))
            return {};
        const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const qsizetype before = jobs.size();
        for (qsizetype i = 1; i < lines.size(); ++i) { // line 0: the column names
            const QStringList fields = csvFields(lines[i]);
            if (fields.size() < 5 || seen.contains(fields[0].toInt()))
                continue;
            Job job;
            job.id = fields[0].toInt();
            job.queue = fields[1].section(QLatin1Char('/'), -1);
            job.copies = fields[2].isEmpty() ? 1 : fields[2].toInt();
            job.state = fields[3];
            job.title = fields[4];
            seen.insert(job.id);
            jobs.append(job);
        }
        if (jobs.size() == before)
            break;
    }
    std::sort(jobs.begin(), jobs.end(), [](const Job &a, const Job &b) { return a.id < b.id; });
    return jobs;
}

bool PrivateCups::waitUntilIdle(int timeoutMs, QString *error)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QList<Job> all = jobs(error);
        const bool busy = std::any_of(all.begin(), all.end(), [](const Job &job) {
            return job.state == QLatin1String("pending") || job.state.startsWith(QLatin1String("processing"));
        });
        if (!busy)
            return true;
        if (deadline.hasExpired()) {
            if (error)
                *error = QStringLiteral("jobs still pending or processing after %1 ms").arg(timeoutMs);
            return false;
        }
        QThread::msleep(100);
    }
}

QString PrivateCups::spooledFile(int jobId) const
{
    return path(QStringLiteral("spool/d%1-001").arg(jobId, 5, 10, QLatin1Char('0')));
}
