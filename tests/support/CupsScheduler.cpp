#include "support/CupsScheduler.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <cerrno>
#include <memory>

namespace tavrin::test {

namespace {

constexpr int kStartMs = 20000;
constexpr int kStopMs = 10000;

bool WriteFile(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) == text.toUtf8().size();
}

QString ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The account the scheduler's filters run as: lp when this process is root (the scheduler
// refuses root), else this user.
std::pair<QString, QString> FilterAccount()
{
    if (::getuid() == 0) return {QStringLiteral("lp"), QStringLiteral("lp")};
    const passwd* pw = ::getpwuid(::getuid());
    const group* gr = ::getgrgid(::getgid());
    return {pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(::getuid()),
            gr ? QString::fromLocal8Bit(gr->gr_name) : QString::number(::getgid())};
}

// True while the process is alive (a zombie is not) and is the scheduler of this folder, so that
// a process id that has been reused is never signalled.
bool IsSchedulerOf(pid_t pid, const QString& folder)
{
    if (pid <= 0) return false;
    const QString stat = ReadFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(QLatin1Char(')'));
    if (close < 0 || stat.mid(close + 2, 1) == QLatin1String("Z")) return false;
    QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmd.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = cmd.readAll();
    return line.contains("cupsd") && line.contains(QFile::encodeName(folder + QStringLiteral("/cupsd.conf")));
}

struct HttpClose {
    void operator()(http_t* h) const { httpClose(h); }
};
using Http = std::unique_ptr<http_t, HttpClose>;

Http Connect(const QString& socket, int msec)
{
    return Http(httpConnect2(QFile::encodeName(socket).constData(), ippPort(), nullptr, AF_UNSPEC,
                             HTTP_ENCRYPTION_NEVER, 1, msec, nullptr));
}

}  // namespace

namespace {

const char* const kPrinterVariables[] = {"PRINTER",
                                         "LPDEST",
                                         "IPP_PORT",
                                         "CUPS_ENCRYPTION",
                                         "CUPS_ANYROOT",
                                         "CUPS_EXPIREDCERTS",
                                         "CUPS_VALIDATECERTS",
                                         "CUPS_GSSSERVICENAME"};

}  // namespace

QProcessEnvironment OwnPrintingSettings(QProcessEnvironment env, const QString& home, const QString& server)
{
    const QString settings = home + QStringLiteral("/cups");
    QDir().mkpath(settings);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("CUPS_SERVERROOT"), settings);
    env.insert(QStringLiteral("CUPS_SERVER"), server);
    for (const char* name : kPrinterVariables) env.remove(QString::fromLatin1(name));
    return env;
}

void UseOwnPrintingSettings(const QString& home, const QString& server)
{
    const QProcessEnvironment own = OwnPrintingSettings(QProcessEnvironment(), home, server);
    for (const QString& name : own.keys()) qputenv(name.toLocal8Bit().constData(), QFile::encodeName(own.value(name)));
    for (const char* name : kPrinterVariables) qunsetenv(name);
}

CupsScheduler::CupsScheduler(QString folder) : folder_(QDir(folder).absolutePath()) {}

CupsScheduler::~CupsScheduler()
{
    if (attached_) (void)Stop();
}

Status CupsScheduler::Start(bool detached)
{
    for (const char* sub : {"spool/temp", "log", "cache", "state"}) {
        if (!QDir().mkpath(folder_ + QLatin1Char('/') + QLatin1String(sub)))
            return Status::error(QStringLiteral("Cannot make ") + folder_ + QLatin1Char('/') + QLatin1String(sub));
    }
    // The filters run as another user: they need to reach the spool's temporary folder.
    ::chmod(QFile::encodeName(folder_).constData(), 0755);
    const auto [user, group] = FilterAccount();
    const QString conf = folder_ + QStringLiteral("/cupsd.conf");
    const QString files = folder_ + QStringLiteral("/cups-files.conf");
    const bool written =
        WriteFile(conf, QStringLiteral("Listen %1\n"
                                       "LogLevel warn\n"
                                       "ErrorPolicy abort-job\n"
                                       "Browsing No\n"
                                       "BrowseLocalProtocols none\n"
                                       "DefaultShared No\n"
                                       "DefaultAuthType None\n"
                                       "WebInterface No\n"
                                       "PreserveJobFiles Yes\n"
                                       "PreserveJobHistory Yes\n"
                                       "MaxJobs 0\n"
                                       "DefaultPolicy test\n"
                                       "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                       "<Policy test>\n"
                                       "  JobPrivateAccess all\n  JobPrivateValues none\n"
                                       "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
                                       "  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                       "</Policy>\n")
                            .arg(Socket())) &&
        WriteFile(files, QStringLiteral("FileDevice Yes\n"
                                        "ServerRoot %1\n"
                                        "StateDir %1/state\n"
                                        "CacheDir %1/cache\n"
                                        "DataDir /usr/share/cups\n"
                                        "DocumentRoot /usr/share/cups/doc-root\n"
                                        "ServerBin /usr/lib/cups\n"
                                        "RequestRoot %1/spool\n"
                                        "TempDir %1/spool/temp\n"
                                        "AccessLog %1/log/access_log\n"
                                        "ErrorLog %1/log/error_log\n"
                                        "PageLog %1/log/page_log\n"
                                        "User %2\n"
                                        "Group %3\n"
                                        // Nothing asks for a password: the group of the
                                        // administrators only has to be another one.
                                        "SystemGroup root\n")
                             .arg(folder_, user, group));
    if (!written) return Status::error(QStringLiteral("Cannot write the scheduler's configuration in ") + folder_);

    const QByteArray program = "/usr/sbin/cupsd";
    if (::access(program.constData(), X_OK) != 0)
        return Status::error(QStringLiteral("The print scheduler /usr/sbin/cupsd is not installed."));
    const QByteArray confArg = QFile::encodeName(conf);
    const QByteArray filesArg = QFile::encodeName(files);
    const QByteArray out = QFile::encodeName(folder_ + QStringLiteral("/log/cupsd.out"));
    char* const argv[] = {const_cast<char*>(program.constData()),
                          const_cast<char*>("-f"),
                          const_cast<char*>("-c"),
                          const_cast<char*>(confArg.constData()),
                          const_cast<char*>("-s"),
                          const_cast<char*>(filesArg.constData()),
                          nullptr};
    const pid_t pid = ::fork();
    if (pid < 0) return Status::error(QStringLiteral("Cannot start the print scheduler: ") + qt_error_string(errno));
    if (pid == 0) {
        // A detached scheduler leaves this process's session, so that it outlives it.
        if (detached) ::setsid();
        const int in = ::open("/dev/null", O_RDONLY);
        const int log = ::open(out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in >= 0) ::dup2(in, 0);
        if (log >= 0) {
            ::dup2(log, 1);
            ::dup2(log, 2);
        }
        ::execv(program.constData(), argv);
        ::_exit(127);
    }
    pid_ = pid;
    child_ = true;
    attached_ = !detached;
    if (detached && !WriteFile(folder_ + QStringLiteral("/cupsd.pid"), QString::number(pid))) {
        (void)Stop();
        return Status::error(QStringLiteral("Cannot keep the scheduler's process id in ") + folder_);
    }
    const Status up = WaitUntilAnswering();
    if (!up) (void)Stop();
    return up;
}

Status CupsScheduler::WaitUntilAnswering()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartMs) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            child_ = attached_ = false;
            return Status::error(QStringLiteral("The print scheduler ended at its start:\n") + ErrorLog());
        }
        if (const Http http = Connect(Socket(), 1000)) {
            if (ipp_t* answer = cupsDoRequest(http.get(), ippNewRequest(IPP_OP_CUPS_GET_PRINTERS), "/")) {
                ippDelete(answer);
                return {};
            }
        }
        QThread::msleep(50);
    }
    return Status::error(
        QStringLiteral("The print scheduler did not answer within %1 seconds:\n").arg(kStartMs / 1000) + ErrorLog());
}

pid_t CupsScheduler::KnownPid() const
{
    if (pid_ > 0) return pid_;
    bool ok = false;
    const int pid = ReadFile(folder_ + QStringLiteral("/cupsd.pid")).trimmed().toInt(&ok);
    return ok ? pid : -1;
}

bool CupsScheduler::Running() const
{
    return IsSchedulerOf(KnownPid(), folder_);
}

Status CupsScheduler::Stop()
{
    const pid_t pid = KnownPid();
    const bool child = child_;
    pid_ = -1;
    child_ = attached_ = false;
    QFile::remove(folder_ + QStringLiteral("/cupsd.pid"));
    if (child) {
        ::kill(pid, SIGTERM);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kStopMs) {
            if (::waitpid(pid, nullptr, WNOHANG) == pid) return {};
            QThread::msleep(20);
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return Status::error(QStringLiteral("The print scheduler did not stop; it was killed."));
    }
    if (!IsSchedulerOf(pid, folder_)) return {};
    ::kill(pid, SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStopMs) {
        if (!IsSchedulerOf(pid, folder_)) return {};
        QThread::msleep(20);
    }
    ::kill(pid, SIGKILL);
    return Status::error(QStringLiteral("The print scheduler did not stop; it was killed."));
}

QString CupsScheduler::ErrorLog() const
{
    return ReadFile(folder_ + QStringLiteral("/log/cupsd.out")) + ReadFile(folder_ + QStringLiteral("/log/error_log"));
}

Status CupsScheduler::Run(const QString& program, const QStringList& args) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), Socket());
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        return Status::error(program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QStringLiteral(" failed: ") +
                             QString::fromLocal8Bit(p.readAllStandardError()) + p.errorString());
    }
    return {};
}

Status CupsScheduler::AddQueue(const QString& name, const QString& location) const
{
    QStringList args{QStringLiteral("-p"),
                     name,
                     QStringLiteral("-E"),
                     QStringLiteral("-v"),
                     QStringLiteral("file:///dev/null"),
                     QStringLiteral("-P"),
                     QStringLiteral(TAVRIN_QUEUE_PPD)};
    if (!location.isEmpty()) args << QStringLiteral("-L") << location;
    return Run(QStringLiteral("lpadmin"), args);
}

Status CupsScheduler::SetDefault(const QString& name) const
{
    return Run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name});
}

Status CupsScheduler::HoldJobs(const QString& name) const
{
    return Run(QStringLiteral("lpadmin"),
               {QStringLiteral("-p"), name, QStringLiteral("-o"), QStringLiteral("job-hold-until-default=indefinite")});
}

Status CupsScheduler::DeleteQueue(const QString& name) const
{
    return Run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name});
}

void CupsScheduler::Use() const
{
    cupsSetServer(QFile::encodeName(Socket()).constData());
}

void CupsScheduler::UseDefault()
{
    cupsSetServer(nullptr);
}

QString CupsScheduler::Job::Attribute(const QString& name) const
{
    const auto it = attributes.find(name);
    return it == attributes.end() ? QString() : it->second;
}

std::vector<CupsScheduler::Job> CupsScheduler::Jobs(const QString& queue) const
{
    std::vector<Job> jobs;
    const Http http = Connect(Socket(), 5000);
    if (!http) return jobs;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    const QByteArray uri =
        queue.isEmpty() ? QByteArray("ipp://localhost/") : "ipp://localhost/printers/" + queue.toUtf8();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    static const char* const kWanted[] = {"job-id",         "job-name",
                                          "job-state",      "job-printer-uri",
                                          "copies",         "media",
                                          "media-source",   "orientation-requested",
                                          "print-quality",  "printer-resolution",
                                          "document-format"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kWanted)), nullptr, kWanted);
    ipp_t* answer = cupsDoRequest(http.get(), request, "/");
    if (!answer) return jobs;
    Job job;
    const auto flush = [&] {
        if (job.id > 0) jobs.push_back(job);
        job = Job();
    };
    for (ipp_attribute_t* a = ippFirstAttribute(answer); a; a = ippNextAttribute(answer)) {
        const char* name = ippGetName(a);
        if (!name) {
            flush();
            continue;
        }
        if (ippGetGroupTag(a) != IPP_TAG_JOB) continue;
        char value[1024];
        ippAttributeString(a, value, sizeof value);
        job.attributes[QString::fromUtf8(name)] = QString::fromUtf8(value);
        if (QByteArrayView(name) == "job-id") job.id = ippGetInteger(a, 0);
    }
    flush();
    ippDelete(answer);
    return jobs;
}

QString CupsScheduler::DocumentOf(int jobId) const
{
    return folder_ + QStringLiteral("/spool/d%1-001").arg(jobId, 5, 10, QLatin1Char('0'));
}

}  // namespace tavrin::test
