// SPDX-License-Identifier: GPL-3.0-or-later
// The version check over Qt's network access against a small HTTP server on 127.0.0.1.
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "adapters/qt_web.h"
#include "fakes/fake_surface.h"

class QtWebTest : public QObject {
  Q_OBJECT

 private:
  // Answers every request with the given body.
  static void Serve(QTcpServer& server, const QByteArray& body) {
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, body] {
      QTcpSocket* socket = server.nextPendingConnection();
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, body] {
        socket->readAll();
        socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
      });
    });
  }

 private slots:
  void newerBuildOnThePageOffersTheUpdate() {
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    Serve(server, "1.03.0021");
    QNetworkAccessManager network;
    korvani::fakes::FakeDialogs dialogs;
    std::vector<std::string> opened;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.serverPort()) + "/version.txt";
    korvani::app::VersionCheck check(
        dialogs, korvani::ui::FetchWithQt(network),
        [&opened](const std::string& page) { opened.push_back(page); }, url);
    dialogs.Answer = korvani::base::MessageResult::Yes;
    check.Start();
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.Boxes.size(), std::size_t{1}, 5000);
    QCOMPARE(QString::fromStdString(dialogs.Boxes[0].Title), QStringLiteral("Update available"));
    QCOMPARE(opened, std::vector<std::string>{url});
  }

  void currentBuildAndUnreachableServersShowNothing() {
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    Serve(server, "1.03.0020");
    QNetworkAccessManager network;
    korvani::fakes::FakeDialogs dialogs;
    std::vector<std::string> seen;
    const auto fetch = korvani::ui::FetchWithQt(network);
    fetch("http://127.0.0.1:" + std::to_string(server.serverPort()) + "/",
          [&seen](std::string page) { seen.push_back(std::move(page)); });
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), std::size_t{1}, 5000);
    QCOMPARE(QString::fromStdString(seen[0]), QStringLiteral("1.03.0020"));

    server.close();  // nothing listens there now: the failure is dropped
    fetch("http://127.0.0.1:" + std::to_string(server.serverPort() == 0 ? 9 : server.serverPort()) + "/",
          [&seen](std::string page) { seen.push_back(std::move(page)); });
    QTest::qWait(500);
    QCOMPARE(seen.size(), std::size_t{1});
  }
};

QTEST_GUILESS_MAIN(QtWebTest)
#include "qt_web_test.moc"
