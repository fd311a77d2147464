// How a barcode's bars and spaces are laid on a printer's dots, before any
// painting: the elements, the pitch, whether the barcode grew or keeps the
// rule in its room, the room the rule needs, the quiet zone. The rows are a
// table under tests/data/tables/; what the bars look like on the raster, and how they
// scan, is tst_barcode_dots's.

#include "Code39Elements.h"
#include "Golden.h"
#include "PrintJob.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestBarcodePlan : public QObject {
    Q_OBJECT

private slots:
    void plan_data() { Golden::addRows(u"tables/barcode-plans.txt"_s); }
    void plan()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        const QStringList n = input.split(u' ');
        if (n[0] == u"zone"_s) {
            const int zone = Code39Elements::quietZoneDots(n[1].toInt(), PrinterDots::at(n[2].toInt()));
            QVERIFY(Golden::rowMatches(u"tables/barcode-plans.txt"_s, input, output, u"%1 dots"_s.arg(zone)));
            return;
        }
        const double points = n[0].toDouble(), x = n[3].toDouble();
        const PrinterDots dots = PrinterDots::at(n[1].toInt());
        const Code39Elements::Plan plan = Code39Elements::plan(points, n[2].toInt(), x, n[4].toDouble(), dots);
        const Code39Elements::Dots &d = plan.dots;
        QStringList got{u"%1/%2/%3/%4"_s.arg(d.narrowBar).arg(d.wideBar).arg(d.narrowSpace).arg(d.wideSpace)};
        const double fontPitch = 784 * kTwipsPerPoint * points / 2048; // twips: 784 of the em's 2048 units
        got << (qFuzzyCompare(plan.pitch, fontPitch) ? u"font pitch"_s : u"%1 dots"_s.arg(dots.dotsOf(plan.pitch)));
        if (plan.grown)
            got << u"grown"_s;
        got << (plan.keepsRule ? u"keeps the rule"_s : u"breaks the rule"_s);
        got << u"needs %1 dots"_s.arg(dots.dotsOf(plan.needed + x));
        QVERIFY(Golden::rowMatches(u"tables/barcode-plans.txt"_s, input, output, got.join(u", "_s)));
    }
};

QTEST_MAIN(TestBarcodePlan)
#include "tst_barcode_plan.moc"
