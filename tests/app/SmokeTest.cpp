#include "AppTestSupport.h"

class SmokeTest : public QObject {
    Q_OBJECT
private slots:
    void Placeholder() { QVERIFY(true); }
};

TX_APP_TEST_MAIN(SmokeTest)
#include "SmokeTest.moc"
