#include "PrivateCups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString kStockPpd = u"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"_s;

// The files of a spooler in @DIR@, listening on @PORT@ of 127.0.0.1 too.
const char kCupsdConf[] = R"(LogLevel warn
Listen @DIR@/cups.sock
Listen 127.0.0.1:@PORT@
Browsing No
WebInterface No
DefaultAuthType None
PreserveJobHistory Yes
PreserveJobFiles Yes
MaxJobs 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
)";
const char kCupsFilesConf[] = R"(ServerRoot @DIR@
RequestRoot @DIR@/spool
TempDir @DIR@/spool/tmp
CacheDir @DIR@/cache
StateDir @DIR@/state
AccessLog @DIR@/log/access_log
ErrorLog @DIR@/log/error_log
PageLog @DIR@/log/page_log
Printcap @DIR@/printcap
)";
// cups-pdf's own files, all in one folder its backend (running as lp) can write.
const char kCupsPdfConf[] = "Out @DIR@/pdf\nAnonDirName @DIR@/pdf\nSpool @DIR@/pdf\nLog @DIR@/pdf\n";
// Columns: job-id, job-printer-uri, copies, job-state, job-name; from index $first on.
const char kGetJobs[] = R"({
  OPERATION Get-Jobs
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR keyword which-jobs all
  ATTR integer first-index $first
  ATTR keyword requested-attributes job-id,job-printer-uri,copies,job-state,job-name
  STATUS successful-ok
  DISPLAY job-id
  DISPLAY job-printer-uri
  DISPLAY copies
  DISPLAY job-state
  DISPLAY job-name
}
)";

// A TCP port on 127.0.0.1 that nothing listens on right now.
int freeLoopbackPort()
{
    int port = 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

// The stock cups-pdf driver with one more size, the label, made its default.
QString labelPpd(QString ppd)
{
    using P = PrivateCups;
    const QString name = u"w%1h%2"_s.arg(P::kLabelWidth).arg(P::kLabelHeight);
    const QString setup = u"\"<</PageSize[%1 %2]/ImagingBBox null>>setpagedevice\""_s.arg(P::kLabelWidth).arg(P::kLabelHeight);
    const QList<std::pair<QString, QString>> entries = {
        {u"PageSize"_s, setup},
        {u"PageRegion"_s, setup},
        {u"ImageableArea"_s, u"\"%1 %2 %3 %4\""_s.arg(P::kLabelLeft).arg(P::kLabelBottom)
                                 .arg(P::kLabelWidth - P::kLabelRight).arg(P::kLabelHeight - P::kLabelTop)},
        {u"PaperDimension"_s, u"\"%1 %2\""_s.arg(P::kLabelWidth).arg(P::kLabelHeight)}};
    for (const auto &[key, value] : entries) {
        ppd.replace(u"*Default%1: A4"_s.arg(key), u"*Default%1: "_s.arg(key) + name);
        ppd.replace(QRegularExpression(u"^(\\*%1 A4/.*)$"_s.arg(key), QRegularExpression::MultilineOption),
                    u"\\1\n*%1 %2/Label 4 x 2 in: %3"_s.arg(key, name, value));
    }
    return ppd;
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
    stop();
    if (!m_cupsPdfConf.isEmpty())
        QFile::remove(m_cupsPdfConf);
}

bool PrivateCups::runningAsRoot()
{
    return ::geteuid() == 0;
}

QString PrivateCups::unavailableReason()
{
    if (!runningAsRoot())
        return u"running as uid %1: cupsd's cups-pdf backend and its configuration in /etc/cups need root; "
               "run the tests as root"_s.arg(::geteuid());
    QStringList missing;
    for (const QString &needed : {u"cupsd"_s, u"lpadmin"_s, u"ipptool"_s, u"pdftotext"_s, u"pdftoppm"_s,
                                  u"/usr/lib/cups/backend/cups-pdf"_s, kStockPpd}) {
        if (needed.startsWith(u'/') ? !QFile::exists(needed) : findProgram(needed).isEmpty())
            missing.append(needed);
    }
    if (!missing.isEmpty())
        return u"missing %1 (run tools/setup as root to install cups, cups-client, cups-bsd, cups-ipp-utils, "
               "printer-driver-cups-pdf and poppler-utils)"_s.arg(missing.join(u", "_s));
    if (!QFileInfo(u"/etc/cups"_s).isWritable())
        return u"/etc/cups is not writable"_s;
    return {};
}

bool PrivateCups::start(QString *error)
{
    m_port = freeLoopbackPort();
    QFile stock(kStockPpd);
    if (!m_dir.isValid() || m_port == 0 || !stock.open(QIODevice::ReadOnly)) {
        *error = u"no temporary folder (%1), free port on 127.0.0.1 or %2"_s.arg(m_dir.errorString(), kStockPpd);
        return false;
    }
    // The filters and the backend run as lp: they must reach the folder, and
    // cups-pdf must write into its own.
    const QString dir = m_dir.path();
    for (const char *folder : {"spool/tmp", "cache", "state", "log", "pdf"})
        QDir(dir).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(dir, QFile::Permissions(0x7755));
    QFile::setPermissions(dir + u"/pdf"_s, QFile::Permissions(0x7777));
    const auto fill = [&](const char *text) {
        return QString::fromUtf8(text).replace(u"@DIR@"_s, dir).replace(u"@PORT@"_s, QString::number(m_port)).toUtf8();
    };
    m_cupsPdfConf = u"/etc/cups/cups-pdf-%1.conf"_s.arg(m_tag);
    if (!writeFile(dir + u"/cupsd.conf"_s, fill(kCupsdConf) + m_extraConfig.toUtf8() + '\n', error)
        || !writeFile(dir + u"/cups-files.conf"_s, fill(kCupsFilesConf), error)
        || !writeFile(dir + u"/get-jobs.test"_s, fill(kGetJobs), error)
        || !writeFile(dir + u"/label.ppd"_s, labelPpd(QString::fromUtf8(stock.readAll())).toUtf8(), error)
        || !writeFile(m_cupsPdfConf, fill(kCupsPdfConf), error))
        return false;

    m_cupsd = std::make_unique<QProcess>();
    m_cupsd->setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd->setStandardOutputFile(dir + u"/log/cupsd.out"_s);
    m_cupsd->start(findProgram(u"cupsd"_s),
                   {u"-f"_s, u"-c"_s, dir + u"/cupsd.conf"_s, u"-s"_s, dir + u"/cups-files.conf"_s});
    // It answers once its configuration is read and its sockets are open.
    const QDeadlineTimer deadline(15000);
    QString answer;
    while (m_cupsd->waitForStarted(10000) && !deadline.hasExpired()) {
        if (run({u"lpstat"_s, u"-r"_s}, error, &answer) && answer.trimmed() == u"scheduler is running"_s)
            return true;
        QThread::msleep(20);
    }
    QFile log(dir + u"/log/error_log"_s);
    log.open(QIODevice::ReadOnly);
    *error = u"cupsd in %1 did not come up: %2 %3"_s.arg(dir, m_cupsd->errorString(), QString::fromLocal8Bit(log.readAll()));
    stop();
    return false;
}

void PrivateCups::stop()
{
    if (m_cupsd && m_cupsd->state() != QProcess::NotRunning) {
        m_cupsd->terminate(); // SIGTERM to cupsd's own process id
        if (!m_cupsd->waitForFinished(10000)) {
            m_cupsd->kill();
            m_cupsd->waitForFinished(5000);
        }
    }
    m_cupsd.reset();
}

QString PrivateCups::server(bool overTcp) const
{
    return overTcp ? u"127.0.0.1:%1"_s.arg(m_port) : socketPath();
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

bool PrivateCups::addQueue(const QString &name, const QString &description, Media media, QString *error) const
{
    return run({u"lpadmin"_s, u"-p"_s, name, u"-E"_s, u"-D"_s, description, u"-v"_s, u"cups-pdf:/"_s + m_tag, u"-P"_s,
                media == Media::Label ? m_dir.filePath(u"label.ppd"_s) : kStockPpd, u"-o"_s,
                u"pdftops-renderer-default=pdftocairo"_s},
               error);
}

QList<PrivateCups::Job> PrivateCups::jobs(const QString &queue) const
{
    // cupsd answers Get-Jobs with at most 500 jobs at a time: ask page by
    // page. Each CSV line of ipptool -c holds the five columns; the title
    // comes last, as the tests' titles hold no commas, quotes or backslashes
    // that ipptool would quote.
    const QString uri = u"ipp://%1/"_s.arg(QString::fromLatin1(QUrl::toPercentEncoding(socketPath())));
    static const QRegularExpression line(uR"(^(\d+),[^,]*/([^/,]*),(\d*),([^,]*),(.*)$)"_s,
                                         QRegularExpression::MultilineOption);
    QMap<int, Job> byId;
    for (qsizetype seen = -1; seen < byId.size();) {
        seen = byId.size();
        QString output;
        if (!run({u"ipptool"_s, u"-c"_s, u"-d"_s, u"first=%1"_s.arg(seen + 1), uri, m_dir.filePath(u"get-jobs.test"_s)},
                 nullptr, &output))
            break;
        for (const QRegularExpressionMatch &m : line.globalMatch(output)) {
            byId.insert(m.captured(1).toInt(), {m.captured(1).toInt(), m.captured(2),
                                                m.captured(3).isEmpty() ? 1 : m.captured(3).toInt(), m.captured(4),
                                                m.captured(5)});
        }
    }
    QList<Job> jobs;
    for (const Job &job : byId) {
        if (queue.isEmpty() || job.queue == queue)
            jobs.append(job);
    }
    return jobs;
}

QString PrivateCups::spooledFile(int jobId) const
{
    return m_dir.filePath(u"spool/d%1-001"_s.arg(jobId, 5, 10, QChar(u'0')));
}
