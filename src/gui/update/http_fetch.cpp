#include "update/http_fetch.hpp"

#include "app/optional_modules.hpp"

namespace zorvik {

WebClient::WebClient() = default;
WebClient::~WebClient() = default;

WebAccess* WebClient::access(QString& error) {
  if (!access_) {
    if (auto* module = loadModule<WebModule>(Module::Web)) access_.reset(module->newWebAccess());
  }
  if (!access_) error = moduleProblem(Module::Web);
  return access_.get();
}

FetchedPage WebClient::fetchPage(const QUrl& url, qint64 limit, const QByteArray& agent, int timeoutMs) {
  FetchedPage page;
  if (WebAccess* web = access(page.error)) page = web->fetchPage(url, limit, agent, timeoutMs);
  return page;
}

std::unique_ptr<WebDownload> WebClient::startDownload(const QUrl& url, const QByteArray& agent, int stallTimeoutMs,
                                                      QString& error) {
  WebAccess* web = access(error);
  return web ? std::unique_ptr<WebDownload>(web->startDownload(url, agent, stallTimeoutMs)) : nullptr;
}

}  // namespace zorvik
