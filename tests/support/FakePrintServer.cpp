#include "support/FakePrintServer.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace tavrin::test {

namespace {

// Writes one HTTP response with an IPP message (or none) as its body.
bool Respond(http_t* http, http_status_t code, ipp_t* message)
{
    httpClearFields(http);
    if (message) httpSetField(http, HTTP_FIELD_CONTENT_TYPE, "application/ipp");
    httpSetLength(http, message ? ippLength(message) : 0);
    if (httpWriteResponse(http, code) < 0) return false;
    if (!message) return true;
    ippSetState(message, IPP_STATE_IDLE);
    for (;;) {
        const ipp_state_t s = ippWrite(http, message);
        if (s == IPP_STATE_DATA) return true;
        if (s == IPP_STATE_ERROR) return false;
    }
}

// The queue "Office" as a scheduler describes it.
void AddOffice(ipp_t* answer, const QByteArray& uri)
{
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_URI, "printer-uri-supported", nullptr, uri.constData());
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "Office");
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-location", nullptr, "Room 12");
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-info", nullptr, "Office");
    ippAddInteger(answer, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    ippAddBoolean(answer, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddInteger(answer, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-type", CUPS_PRINTER_LOCAL);
    static const char* const kMedia[] = {"na_letter_8.5x11in", "iso_a4_210x297mm"};
    ippAddStrings(answer, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-supported", 2, nullptr, kMedia);
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-default", nullptr, kMedia[0]);
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-source-supported", nullptr, "auto");
    ippAddResolution(answer, IPP_TAG_PRINTER, "printer-resolution-supported", IPP_RES_PER_INCH, 600, 600);
    ippAddResolution(answer, IPP_TAG_PRINTER, "printer-resolution-default", IPP_RES_PER_INCH, 600, 600);
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_MIMETYPE, "document-format-supported", nullptr, "application/pdf");
    ippAddRange(answer, IPP_TAG_PRINTER, "copies-supported", 1, 99);
    static const int kOperations[] = {
        IPP_OP_PRINT_JOB,  IPP_OP_VALIDATE_JOB,       IPP_OP_CREATE_JOB, IPP_OP_SEND_DOCUMENT,
        IPP_OP_CANCEL_JOB, IPP_OP_GET_JOB_ATTRIBUTES, IPP_OP_GET_JOBS,   IPP_OP_GET_PRINTER_ATTRIBUTES};
    ippAddIntegers(answer, IPP_TAG_PRINTER, IPP_TAG_ENUM, "operations-supported",
                   static_cast<int>(std::size(kOperations)), kOperations);
}

}  // namespace

FakePrintServer::FakePrintServer(Script script) : script_(script)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_, 64) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0) {
        return;
    }
    port_ = ntohs(addr.sin_port);
    listenerThread_ = std::thread([this] { Listen(); });
}

FakePrintServer::~FakePrintServer()
{
    stop_ = true;
    if (wake_[1] >= 0) (void)!::write(wake_[1], "x", 1);
    if (listenerThread_.joinable()) listenerThread_.join();
    {
        // Wakes the connections still waiting to read.
        std::lock_guard lock(mutex_);
        for (const int fd : clients_) ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& t : threads_) t.join();
    if (script_ == Script::Silent) {
        for (const int fd : clients_) ::close(fd);
    }
    for (const int fd : {listener_, wake_[0], wake_[1]}) {
        if (fd >= 0) ::close(fd);
    }
}

QString FakePrintServer::Address() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

void FakePrintServer::Use() const
{
    cupsSetServer(Address().toLatin1().constData());
}

QStringList FakePrintServer::Operations() const
{
    std::lock_guard lock(mutex_);
    return operations_;
}

void FakePrintServer::Listen()
{
    while (!stop_) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN)) continue;
        if (!(fds[0].revents & POLLIN)) continue;
        if (script_ == Script::Silent) {
            // Taken, and never read or answered.
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            ++connections_;
            std::lock_guard lock(mutex_);
            clients_.push_back(fd);
            continue;
        }
        http_t* http = httpAcceptConnection(listener_, 1);
        if (!http) continue;
        ++connections_;
        std::lock_guard lock(mutex_);
        clients_.push_back(httpGetFd(http));
        threads_.emplace_back([this, http] {
            Serve(http);
            httpClose(http);
        });
    }
}

void FakePrintServer::Serve(http_t* http)
{
    const QByteArray uri = QStringLiteral("ipp://127.0.0.1:%1/printers/Office").arg(port_).toLatin1();
    while (!stop_) {
        if (!httpWait(http, 100)) continue;
        char resource[1024];
        const http_state_t state = httpReadRequest(http, resource, sizeof resource);
        if (state == HTTP_STATE_WAITING) continue;
        if (state == HTTP_STATE_ERROR) return;
        http_status_t status;
        while ((status = httpUpdate(http)) == HTTP_STATUS_CONTINUE) {
        }
        if (status != HTTP_STATUS_OK) return;
        if (httpGetExpect(http) == HTTP_STATUS_CONTINUE && !Respond(http, HTTP_STATUS_CONTINUE, nullptr)) return;
        if (state != HTTP_STATE_POST) {
            httpFlush(http);
            if (!Respond(http, HTTP_STATUS_NOT_FOUND, nullptr)) return;
            continue;
        }
        ipp_t* request = ippNew();
        for (ipp_state_t s = ippRead(http, request); s != IPP_STATE_DATA; s = ippRead(http, request)) {
            if (s == IPP_STATE_ERROR) {
                ippDelete(request);
                return;
            }
        }
        const ipp_op_t op = ippGetOperation(request);
        {
            std::lock_guard lock(mutex_);
            operations_ << QString::fromLatin1(ippOpString(op));
        }
        ipp_t* answer = ippNewResponse(request);
        ippDelete(request);
        switch (op) {
            case IPP_OP_CUPS_GET_PRINTERS:
            case IPP_OP_CUPS_GET_DEFAULT:
            case IPP_OP_GET_PRINTER_ATTRIBUTES:
                AddOffice(answer, uri);
                break;
            case IPP_OP_CREATE_JOB:
                ippAddInteger(answer, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", 7);
                ippAddString(answer, IPP_TAG_JOB, IPP_TAG_URI, "job-uri", nullptr, (uri + "/7").constData());
                ippAddInteger(answer, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", IPP_JSTATE_HELD);
                break;
            case IPP_OP_SEND_DOCUMENT: {
                // The document is read whole; then it is left unanswered or refused.
                char buffer[8192];
                while (httpRead2(http, buffer, sizeof buffer) > 0) {
                }
                if (script_ == Script::SilentAtDocument) {
                    ippDelete(answer);
                    while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    return;
                }
                ippSetStatusCode(answer, IPP_STATUS_ERROR_NOT_POSSIBLE);
                ippAddString(answer, IPP_TAG_OPERATION, IPP_TAG_TEXT, "status-message", nullptr, Refusal);
                break;
            }
            default:
                break;
        }
        if (httpGetState(http) != HTTP_STATE_POST_SEND) httpFlush(http);
        const bool sent = Respond(http, HTTP_STATUS_OK, answer);
        ippDelete(answer);
        if (!sent) return;
    }
}

}  // namespace tavrin::test
