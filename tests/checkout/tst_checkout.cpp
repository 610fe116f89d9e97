// The checkout: Checkout.csv merged and written back, states and evidence
// across a reconnect, orphans, and the handover report as PDF, HTML and points list.
#include <QtTest>
#include <optional>

#include "AppGlobals.h"
#include "Checkout.h"
#include "CheckoutVisor.h"
#include "FolderRights.h"
#include "HandoverReport.h"
#include "LonFixtures.h"
#include "Mbs6Fixtures.h"
#include "ModulINI.h"
#include "PdfReport.h"
#include "SenyalesMonitor.h"
#include "SignalCsv.h"
#include "TestSupport.h"
#include "VisorSenyales.h"
#include "mIdioma.h"

namespace {
const QDateTime kT0(QDate(2026, 12, 7), QTime(1, 0), Qt::OffsetFromUTC, 3600);

// "7:OK@10 8:not_checked@5": address, state, seconds after kT0.
QVector<CheckoutRecord> records(const QString& shape) {
    QVector<CheckoutRecord> out;
    for (const QString& r : shape.split(' ', Qt::SkipEmptyParts)) {
        CheckoutRecord x;
        x.direccion = r.section(':', 0, 0).toInt();
        x.identidad = "1/105/0/0", x.definicion = "R A";
        estadoDePalabra(r.section(':', 1).section('@', 0, 0).replace('_', ' '), &x.estado);
        x.hora = kT0.addSecs(r.section('@', 1).toInt());
        x.nota = "n" + r;
        out << x;
    }
    return out;
}

QString shape(const CheckoutStore& s) {
    QStringList out;
    for (const CheckoutRecord& r : s.registros())
        out << QString("%1:%2@%3")
                   .arg(r.direccion)
                   .arg(palabraEstado(r.estado).replace(' ', '_'))
                   .arg(kT0.secsTo(r.hora));
    out.sort();
    return out.join(' ');
}

}  // namespace

class TstCheckout : public QObject {
    Q_OBJECT
private slots:
    void store_data() {
        // expected "error": refused, file kept; "full": no room on the disk, file kept
        const auto row = addColumns<QString, QString, QString>("disk", "changes", "expected");
        row("answered never replaces a verdict", "7:OK@10", "7:answered@20", "7:OK@10");
        row("answered refreshes answered", "7:answered@10", "7:answered@20", "7:answered@20");
        row("older change dropped", "7:failed@30", "7:OK@20", "7:failed@30");
        row("newer verdict and reset replace", "7:OK@10 9:OK@10", "7:failed@20 9:not_checked@20",
            "7:failed@20 9:not_checked@20");
        row("the other program's rows kept", "8:OK@10", "7:n/a@5 8:answered@20", "7:n/a@5 8:OK@10");
        row("no file yet", "", "7:OK@1", "7:OK@1");
        row("unknown state in the file", "raw:Address,State\r\n7,fine\r\n", "7:OK@1", "error");
        row("no address column", "raw:\xEF\xBB\xBFState\r\nOK\r\n", "7:OK@1", "error");
        row("quote never closed", "raw:Address,State\r\n7,\"OK\r\n", "7:OK@1", "error");
        row("disk full", "7:OK@10", "7:failed@20 9:OK@20", "full");
        row("a short row before a long one", "raw:Address,State,Note\r\n7,OK\r\n8,OK,hello\r\n", "9:OK@1",
            "7:OK@0 8:OK@0 9:OK@1");
    }

    void store() {
        auto [disk, changes, expected] = fetch<QString, QString, QString>("disk", "changes", "expected");
        TestHome home(false);
        CheckoutStore s;
        s.setRuta(CheckoutStore::rutaEn(home.path()));
        QString error;
        if (disk.startsWith("raw:"))
            QVERIFY(writeAll(s.ruta(), disk.mid(4).toUtf8()));
        else if (!disk.isEmpty())
            QVERIFY(s.aplica(records(disk), &error));
        const QByteArray before = readAll(s.ruta());
        bool ok = false;
        {
            std::optional<FullDisk> full;
            if (expected == "full") full.emplace(before.size());  // room for the old file, not for more
            ok = s.aplica(records(changes), &error);
        }
        QCOMPARE(ok, expected != "error" && expected != "full");
        if (!ok) {
            QVERIFY2(error.startsWith(Texto(expected == "full" ? "NoSePuedeGrabar" : "CheckoutNoLeido")),
                     qPrintable(error));
            QCOMPARE(readAll(s.ruta()), before);
            return;
        }
        QCOMPARE(shape(s), expected);
        QCOMPARE(std::count_if(s.registros().begin(), s.registros().end(), [](auto& r) { return r.nota == "hello"; }),
                 disk.count("hello"));  // every note on disk read
        // What another program reads back: the same records, notes included, from a file a spreadsheet opens.
        CheckoutStore again;
        again.setRuta(s.ruta());
        QVERIFY(again.carga(&error));
        QCOMPARE(shape(again), expected);
        for (auto r = s.registros().cbegin(); r != s.registros().cend(); ++r)
            QCOMPARE(again.registros().value(r.key()).nota, r->nota);
        const QByteArray bytes = readAll(s.ruta());
        QVERIFY(
            bytes.startsWith("\xEF\xBB\xBF"
                             "Address,Device,Number,NV index,Offset,Point,Description,State,"));
        QVERIFY(bytes.contains(",2026-12-07T01:00:") && bytes.contains("+01:00,"));
    }

    void checkout() {
        TestHome home(false);
        const QString folder = home.projectsRoot() + "/L";
        QVector<QStringList> rows{lonErrorRow(0, 100), lonPointRow(1, 105, 0, "R", 7), lonPointRow(1, 105, 1, "W", 8),
                                  lonPointRow(1, 105, 2, "R", 9)};
        QVERIFY(loadLonSignals(folder, rows));
        ListaSenyales& l = listaSenyales();
        QCOMPARE(l.NumSenyales, 4);
        // A value reported; a value written from the viewer and the gateway's answer to it.
        SenyalesSink sink;
        QVERIFY(sink.setValue("AD0007", "12.5", nullptr));
        app().ProtEquipo = "LON";
        VisorSenyales v;
        v.transmite = [](const QString&) {};
        v.Datos_Carga();
        QCOMPARE(v.escribe(3, "3,5"), VisorSenyales::Escritura::Enviada);
        QVERIFY(sink.setValue("AD0008", "3.5", nullptr) && sink.setValue("AD0008", "4", nullptr));
        Checkout c;
        QString error;
        QVERIFY(c.carga(kSlotLon, &error));
        QVERIFY(c.marca(l, {2, 3}, EstadoCheckout::Correcto, QString(), false, &error));
        QVERIFY(c.marca(l, {4}, EstadoCheckout::Fallido, "no answer", false, &error));
        QVERIFY(c.marca(l, {2}, EstadoCheckout::Correcto, "seen on the panel", true, &error));
        const CheckoutRecord* r7 = c.registro(7);
        const CheckoutRecord* r8 = c.registro(8);
        QVERIFY(r7 && r8 && c.registro(9) && !c.registro(100));
        QCOMPARE(r7->valor + "|" + r8->escrito + "|" + r8->eco + "|" + r8->valor + "|" + r7->nota,
                 QString("12.5|3.50|3.5|4|seen on the panel"));
        QVERIFY(r7->informe.isValid() && r8->ecoHora.isValid() && r8->escritura.isValid());
        QCOMPARE(r7->usuario, nombreUsuario());
        // The first signal and the last are marked, rows outside the list are not; then the first is reset.
        QVERIFY(c.marca(l, {0, 1, 4, 5}, EstadoCheckout::NoAplica, QString(), false, &error));
        QCOMPARE(QList<EstadoCheckout>({c.estado(100), c.estado(9)}),
                 QList({EstadoCheckout::NoAplica, EstadoCheckout::NoAplica}));
        QVERIFY(c.marca(l, {1}, EstadoCheckout::SinComprobar, QString(), false, &error));
        QVERIFY(c.marca(l, {4}, EstadoCheckout::Fallido, "no answer", false, &error));
        // Off line and on line again, in another program: the same states.
        sink.clearAll();
        Carga_DatosMFAPilmora(QStringLiteral("LON"));
        Checkout after;
        QVERIFY(after.carga(kSlotLon, &error));
        int answered = 0;
        QVERIFY(sink.setValue("AD0100", "0", nullptr) && sink.setValue("AD0007", "1", nullptr) &&
                sink.setValue("AD0009", "2", nullptr));
        QVERIFY(after.marcaContestados(l, &answered, &error));  // a verdict stays: only address 100 is answered
        QCOMPARE(answered, 1);
        const auto n = after.cuenta(l);
        QCOMPARE(QList<int>(n.begin(), n.end()), QList<int>({0, 1, 2, 1, 0}));
        QCOMPARE(after.registro(7)->nota, QString("seen on the panel"));
        // Address 8 now stands for another NV, 9 has left the table: 8 starts again, both old records are kept.
        rows[2] = lonPointRow(1, 105, 5, "W", 8);
        rows.removeLast();
        QVERIFY(loadLonSignals(folder, rows));
        Checkout changed;
        QVERIFY(changed.carga(kSlotLon, &error));
        QCOMPARE(changed.estado(8), EstadoCheckout::SinComprobar);
        QCOMPARE(changed.estado(7), EstadoCheckout::Correcto);
        QStringList orphans;
        for (const CheckoutRecord& o : changed.huerfanos())
            orphans << QString::number(o.direccion) + palabraEstado(o.estado);
        QCOMPARE(orphans, QStringList({"8OK", "9failed"}));
        CheckoutVisor seen;  // the viewer's caption counts them; "not checked only" holds for the rows built anew
        seen.soloSinComprobar = true, v.Datos_Carga();
        QVERIFY(seen.carga(v, kSlotLon, &error));
        QVERIFY2(seen.progreso().endsWith(Texto("CheckoutHuerfanos") + "2"), qPrintable(seen.progreso()));
        QStringList shown;
        for (int row = 1; row < v.grid.Rows(); ++row)
            if (!v.grid.isRowHidden(row)) shown << v.grid.TextMatrix(row, v.colDireccion);
        QCOMPARE(shown, QStringList({"100", "8"}));  // 7 is OK, 100 answered, 8 changed since
        // Each field of a point's definition, changed alone, is a change of the point; its description is not.
        QString kept;
        for (const auto& [field, text] : {std::pair{11, "Pump"},
                                          {5, "3-16bit unsig"},
                                          {6, "2"},
                                          {7, "1"},
                                          {8, "1"},
                                          {10, "RW"},
                                          {13, "W"},
                                          {14, "1-Dig"}}) {
            const QString was = std::exchange(rows[1][field], QString(text));
            QVERIFY(loadLonSignals(folder, rows));
            QVERIFY(changed.carga(kSlotLon, &error));  // loaded again: the points afresh
            kept += QString::number(changed.estado(7) == EstadoCheckout::Correcto), rows[1][field] = was;
        }
        QCOMPARE(kept, "10000000");
        QCOMPARE(changed.puntos().size(), rows.size());
        // Hand-written rows of devices far beyond any there is are no points.
        QVERIFY(loadLonSignals(folder, rows + QVector<QStringList>{lonPointRow(2000000000, 105, 7, "R", 11),
                                                                   lonPointRow(-2000000000, 105, 8, "R", 12)}) &&
                changed.carga(kSlotLon, &error));
        QCOMPARE(changed.puntos().size(), rows.size());
        const QString ini = folder + "/LON.ini";  // a device count of 0 stored: device 1 on counts for nothing
        QVERIFY(writeAll(ini, readAll(ini).replace("NDevs=1\r\n", "NDevs=0\r\n")) && changed.carga(kSlotLon, &error));
        QCOMPARE(changed.puntos().size(), 0);
        // No point active: the viewer's one blank row has no state.
        for (QStringList& r : rows) r[16] = "0-No";
        QVERIFY(loadLonSignals(folder, rows));
        v.Datos_Carga();
        CheckoutVisor cv;
        QVERIFY(l.NumSenyales == 0 && cv.carga(v, kSlotLon, &error));
        QCOMPARE(v.grid.rowCells(1).value(cv.colEstado, "missing"), QString());
        QVERIFY(writeAll(folder + "/Checkout.csv", QByteArray("\0\x01", 2)));  // unreadable now: said once
        QString why;
        const bool first = cv.refresca(v, &why), again = cv.refresca(v, &error);
        QVERIFY2(!first && why.startsWith(Texto("CheckoutNoLeido")) && again, qPrintable(why));
        QVERIFY(writeAll(folder + "/Checkout.csv", QByteArray(17 << 20, 'x')));  // too large to be one: said
        QVERIFY2(!changed.carga(kSlotLon, &why) && why.endsWith(Texto("CheckoutDemasiadoGrande")), qPrintable(why));
    }

    // Column widths of a printed table 100 wide, a word 10 a letter: shares of the weights, a caption's longest
    // word widening its column with room taken from the others in proportion, when they have more than it needs.
    void columnWidths_data() {
        addColumns<QStringList, QVector<int>, QString>("captions", "weights", "widths");
        QTest::newRow("every word fits") << QStringList{"a", "b c"} << QVector<int>{1, 3} << "25.0 75.0";
        QTest::newRow("one widened") << QStringList{"abcd", "x", "y"} << QVector<int>{1, 1, 2} << "40.0 20.9 39.1";
        QTest::newRow("the longest word of two") << QStringList{"abcdef ab", "x"} << QVector<int>{1, 1} << "60.0 40.0";
        QTest::newRow("room equal to the lack") << QStringList{"abcdefg", "abc"} << QVector<int>{1, 1} << "50.0 50.0";
        QTest::newRow("no room") << QStringList{"abcdefgh", "abcdefgh"} << QVector<int>{1, 1} << "50.0 50.0";
        QTest::newRow("no weight") << QStringList{"a", "b"} << QVector<int>{0, 0} << "0.0 0.0";
    }
    void columnWidths() {
        auto [captions, weights, widths] = fetch<QStringList, QVector<int>, QString>("captions", "weights", "widths");
        QStringList got;
        for (qreal w : anchosColumnas(captions, weights, 100, [](const QString& w) { return 10.0 * w.size(); }))
            got << QString::number(w, 'f', 1);
        QCOMPARE(got.join(' '), widths);
    }

    void report() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext is missing: scripts/setup-deps.sh installs poppler-utils");
        TestHome home;
        const QString folder = home.projectsRoot() + "/L";
        QVector<QStringList> rows{lonErrorRow(0, 4000), lonPointRow(1, 105, 0, "R", 1300, false)};
        for (int a = 1201; a <= 1260; ++a) rows << lonPointRow(1, 105, a, a % 2 ? "R" : "RW", a);
        rows[5][11] = "Pump <&> \"quoted\", 2";
        rows[6][11] = "AHU_north_wing_second_floor_supply_air_temperature_feedback";  // breaks inside its cell
        rows[7][6] = "";  // a scaling written in part is shown as written
        QVERIFY(loadLonSignals(folder, rows));
        QVERIFY(writeAll(folder + "/History.csv", "\xEF\xBB\xBFTime,Result\r\n2026-12-01T10:00:00+01:00,SUCCES\r\n"));
        ListaSenyales& l = listaSenyales();
        Checkout c;
        QString error;
        QVERIFY(c.carga(kSlotLon, &error));
        QVERIFY(c.marca(l, {2, 3}, EstadoCheckout::Correcto, QString(), false, &error));
        QVERIFY(c.marca(l, {40}, EstadoCheckout::Fallido, QString(), false, &error));
        QVERIFY(c.marca(l, {5}, EstadoCheckout::NoAplica, QString(), false, &error));
        // A checked point since taken out of the table: its record listed apart.
        QVERIFY(loadLonSignals(folder, rows + QVector<QStringList>{lonPointRow(1, 105, 1, "R", 1299)}) &&
                c.carga(kSlotLon, &error) &&
                c.marca(l, {l.NumSenyales}, EstadoCheckout::Fallido, "gone", false, &error));
        QVERIFY(loadLonSignals(folder, rows));
        // With nothing set in the environment, not even a display.
        QProcess p;
        p.start("env", {"-i", PILMORA_BIN_DIR "/pilmora", "--home", home.path(), "report", folder, "--pdf",
                        home.file("r.pdf"), "--html", home.file("r.html"), "--points", home.file("p.csv")});
        QVERIFY(p.waitForFinished(30000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QString said = QString::fromUtf8(p.readAllStandardOutput());  // each file written named
        for (const char* f : {"r.pdf", "r.html", "p.csv"})
            QVERIFY2(said.contains(Texto("InformeEscrito") + home.file(f) + "\n"), qPrintable(said));
        QProcess text;
        text.start(pdftotext, {"-layout", home.file("r.pdf"), "-"});
        QVERIFY(text.waitForFinished(30000) && text.exitCode() == 0);
        const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
        const QString checkout = pdf.mid(pdf.lastIndexOf(Texto("InformeCheckout")));
        for (int a : {4000, 1201, 1230, 1260})
            QVERIFY2(QRegularExpression(QString("\\n *%1 ").arg(a)).match(pdf).hasMatch(),
                     qPrintable(QString::number(a)));
        QVERIFY(!pdf.contains("Point 1300") && pdf.contains("Pump <&> \"quoted\", 2") && pdf.contains("SUCCES"));
        const QString orphans = pdf.mid(pdf.lastIndexOf(Texto("InformeHuerfanos")));
        QVERIFY2(QRegularExpression("\\n *1299 +Point 1299 +" + Texto("CheckoutFallido") + " .* gone ")
                     .match(orphans)
                     .hasMatch(),
                 qPrintable(orphans.left(600)));
        for (const QString& count : {Texto("CheckoutCorrecto") + " +2\\n", Texto("CheckoutFallido") + " +1\\n",
                                     Texto("CheckoutSinComprobar") + " +57\\n", Texto("InformeTotal") + " +61\\n",
                                     Texto("InformePagina") + "1 / \\d+\\n"})
            QVERIFY2(QRegularExpression(count).match(pdf).hasMatch(), qPrintable(count + "\n" + checkout.left(800)));
        // Every word lies inside the page's margins (A4 in points; 15 mm, 12 mm at the foot), none over another;
        // each word of a table's captions whole in its column.
        QProcess box;
        box.start(pdftotext, {"-bbox", home.file("r.pdf"), "-"});
        QVERIFY(box.waitForFinished(30000) && box.exitCode() == 0);
        const QRectF inside = QRectF(0, 0, 595, 842).marginsRemoved(QMarginsF(42.5, 42.5, 42.5, 34));
        const QRegularExpression word(
            "xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)");
        QSet<QString> seen;
        for (const QString& page : QString::fromUtf8(box.readAllStandardOutput()).split("<page ").mid(1)) {
            QVector<QRectF> words;
            for (auto w = word.globalMatch(page); w.hasNext();) {
                const QRegularExpressionMatch m = w.next();
                const QRectF r(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                               QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
                const auto over = [&](const QRectF& o) { return o.intersects(r.marginsRemoved({0.5, 0.5, 0.5, 0.5})); };
                QVERIFY2(inside.contains(r) && std::none_of(words.begin(), words.end(), over),
                         qPrintable(m.captured(5)));
                words << r, seen << m.captured(5);
            }
        }
        HandoverReport parts;
        QVERIFY(parts.lee(folder, &error));
        QStringList broken;
        for (const SeccionInforme& s : parts.secciones())
            for (const QString& caption : s.cabecera)
                for (const QString& w : caption.split(' ', Qt::SkipEmptyParts)) broken << w.repeated(!seen.contains(w));
        QCOMPARE(broken.join(""), QString());
        // Each page numbered "n / N" is a page of its own.
        const QRegularExpressionMatch pages = QRegularExpression(Texto("InformePagina") + "1 / (\\d+)\\n").match(pdf);
        QCOMPARE(pages.captured(1).toInt(), pdf.count('\f'));
        // Failed rows first.
        const qsizetype failed = checkout.indexOf(QRegularExpression("\\n *1239 "));
        QVERIFY(failed > 0 && failed < checkout.indexOf(QRegularExpression("\\n *4000 ")));
        const QString html = QString::fromUtf8(readAll(home.file("r.html")));
        QVERIFY(html.contains("<td>Pump &lt;&amp;&gt; &quot;quoted&quot;, 2</td>"));
        QCOMPARE(html.count(QString("<td> \u00d7 10^0 \u00d7 (x + 0)</td>")), 1);
        QString kinds;  // the window's report: HTML by the file's name, in any letter case, else PDF
        for (const char* name : {"w.html", "w.htm", "w.HTM", "w.pdf", "w.txt"})
            kinds += escribeInforme(folder, home.file(name), &error) ? readAll(home.file(name)).left(1) : "!";
        QCOMPARE(kinds, "<<<%%");
        QVERIFY(QFile::remove(folder + "/History.csv") && escribeInforme(folder, home.file("n.pdf"), &error));
        text.start(pdftotext, {"-layout", home.file("n.pdf"), "-"});  // no download yet: said in its place
        QVERIFY(text.waitForFinished(30000) &&
                QString::fromUtf8(text.readAllStandardOutput()).contains(Texto("InformeSinHistoria")));
        // The points list reads back in a spreadsheet-like reader: every active point, the SNVT and scaling apart.
        CsvRecords csv;
        QVERIFY(csvReadFile(home.file("p.csv"), &csv, &error));
        QCOMPARE(csv.records.size(), 62);
        for (const QStringList& r : csv.records) QCOMPARE(r.size(), csv.records[0].size());  // each under its caption
        QCOMPARE(
            csv.records[4].value(2) + "|" + csv.records[5].mid(0, 4).join('|') + "|" + csv.records[5].mid(5).join('|'),
            "R|1204|Pump <&> \"quoted\", 2|RW|A|105|SNVT_temp_p|1204|0|2-16bit sig|1|0|0");
    }

    // The cover names every connection setting with what the project holds (serial settings stored as others
    // than the usual ones).
    void reportSettings_data() {
        addColumns<QString, QString>("protocol", "expected");
        const QString serial =
            "Baud rate=%1;Data bits=7;Parity=odd-1stop;ASCII time-out (ms)=700;Send OK for writes=Yes";
        QTest::newRow("LON") << "LON"
                             << "Gateway model=B-Extended;Firmware=V.43.1.x;ASCII link=ASCII TCP;" + serial.arg(38400) +
                                    ";IP address=127.0.0.1;Network mask=255.0.0.0;Default router=;Port=5000;"
                                    "Keep-alive (s)=30;LON domain (length)=0A (1);Subnet/node=1/1;Addressing=Neuron ID;"
                                    "Poll time (ms)=100";
        QTest::newRow("MBS6") << "MBS6" << serial.arg(57600) + ";Poll time (ms)=1000";  // its own list of speeds
    }
    void reportSettings() {
        auto [protocol, expected] = fetch<QString, QString>("protocol", "expected");
        TestHome home;
        const QString folder = home.projectsRoot() + "/P";
        if (protocol == "LON") {
            LonFixture f;
            f.devices.resize(1), f.rows = {lonPointRow(1, 105, 1, "R", 1)};
            QVERIFY(writeLonFixture(folder, f));
        } else {
            QVERIFY(writeMbs6Fixture(folder, {{1}, {mbs6Row(1, 1)}}));
        }
        for (const char* k : {"Baudios=6 (38400)", "Bits=1 (7)", "Paridad=2 (odd-1stop)", "Tmout_ms=700", "SendACK=1"})
            iniWrite(folder + "/" + protocol + ".ini", "ASCII", QString(k).section('=', 0, 0),
                     QString(k).section('=', 1));
        QVERIFY(writeAll(folder + "/History.csv", "Time,Result\r\n2026-12-01T10:00:00+01:00,SUCCES\r\n"));
        HandoverReport r;
        QString error;
        QVERIFY2(r.lee(folder, &error), qPrintable(error));
        QStringList got;
        for (const QStringList& a : r.ajustes) got << a.join('=');
        QCOMPARE(got.join(';'), withTexts(expected));
        for (const SeccionInforme& s : r.secciones())  // each table's columns share the page in percent, one each
            QVERIFY2(s.pesos.size() == s.cabecera.size() &&
                         std::accumulate(s.pesos.begin(), s.pesos.end(), 0) == (s.cabecera.isEmpty() ? 0 : 100),
                     qPrintable(s.titulo));
    }

    // Who marked a point: the first of USERNAME, USER, LOGNAME that holds more than
    // blanks, else the home folder's name.
    void userName() {
        const QByteArray vars[] = {"USERNAME", "USER", "LOGNAME", "HOME"};
        QByteArray saved[4];
        for (int i = 0; i < 4; ++i) saved[i] = qgetenv(vars[i]);
        const struct {
            const char* values[4];
            const char* expected;
        } rows[] = {{{"ana", "bob", "carl", "/h/x"}, "ana"},
                    {{" ", "bob", "carl", "/h/x"}, "bob"},
                    {{"", " ", "carl", "/h/x"}, "carl"},
                    {{"", "", "", "/h/dora"}, "dora"}};
        for (const auto& r : rows) {
            for (int i = 0; i < 4; ++i) qputenv(vars[i], r.values[i]);
            QCOMPARE(nombreUsuario(), QString(r.expected));
        }
        for (int i = 0; i < 4; ++i) qputenv(vars[i], saved[i]);
    }
};

QTEST_MAIN(TstCheckout)
#include "tst_checkout.moc"
