// SPDX-License-Identifier: GPL-3.0-or-later
// Fetching one web page with Qt's network access: the body goes to the callback when the
// answer is complete; failures (no network, no server, an error status) are dropped.
#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include "adapters/guarded.h"
#include "app/version_check.h"

namespace korvani::ui {

inline app::VersionCheck::Fetch FetchWithQt(QNetworkAccessManager& network, const FaultReport& report = {}) {
  return [&network, report](const std::string& url, std::function<void(std::string)> completed) {
    QNetworkReply* reply = network.get(QNetworkRequest(QUrl(QString::fromStdString(url))));
    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [reply, report, completed = std::move(completed)] {
                       if (reply->error() == QNetworkReply::NoError) {
                         RunGuarded(report, [&] { completed(reply->readAll().toStdString()); });
                       }
                       reply->deleteLater();
                     });
  };
}

}  // namespace korvani::ui
