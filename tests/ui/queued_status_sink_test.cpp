#include "ui/queued_status_sink.h"

#include <QTest>

#include <thread>

namespace zentora {

class QueuedStatusSinkTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void callsFromAnotherThreadArriveInOrderOnTheReceiversThread() {
    QObject receiver;
    QStringList events;
    bool offThread = false;
    const auto here = QThread::currentThread();
    auto note = [&](const QString& event) {
      offThread |= QThread::currentThread() != here;
      events << event;
    };
    auto sink = CQueuedStatusSink::Create(
        &receiver, {[&] { note("clear"); }, [&](const QString& line) { note(line); },
                    [&](int position) { note(QString::number(position)); },
                    [&](bool visible) { note(visible ? "show" : "hide"); }});
    std::thread worker([sink] {
      sink->ShowProgress(true);
      sink->ClearLines();
      for (int i = 0; i < 200; ++i) {
        sink->AppendLine("行" + std::to_string(i));
        sink->SetProgress(i / 2);
      }
      sink->ShowProgress(false);
    });
    worker.join();
    QVERIFY(events.isEmpty());  // nothing runs until the interface thread turns
    QTRY_COMPARE(events.size(), 403);
    QVERIFY(!offThread);
    QCOMPARE(events.mid(0, 4), (QStringList{"show", "clear", "行0", "0"}));
    QCOMPARE(events.mid(400), (QStringList{"行199", "99", "hide"}));
    for (int i = 0; i < 200; ++i) {
      QCOMPARE(events[2 + 2 * i], QStringLiteral("行%1").arg(i));
    }
  }

  void callsAfterDetachAreDropped() {
    int calls = 0;
    std::shared_ptr<CQueuedStatusSink> sink;
    {
      QObject receiver;
      sink =
          CQueuedStatusSink::Create(&receiver, {[&] { ++calls; }, [&](const QString&) { ++calls; },
                                                [&](int) { ++calls; }, [&](bool) { ++calls; }});
      sink->AppendLine("posted before the window went");
      sink->Detach();
    }
    sink->AppendLine("after");
    sink->SetProgress(50);
    QCoreApplication::processEvents();
    QCOMPARE(calls, 0);
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::QueuedStatusSinkTest)
#include "queued_status_sink_test.moc"
