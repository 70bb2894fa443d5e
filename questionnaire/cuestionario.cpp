#include "questionnaire/cuestionario.h"

namespace questionnaire {

namespace {

QString blanks(int n) { return QString(n, QLatin1Char(' ')); }
QString underline(int n) { return QString(n, QLatin1Char('_')); }

// A field as the engine hands it over as text: null prints as nothing.
QString fieldText(const store::DataSource& ds, std::size_t pos) {
    return QString::fromStdString(ds.field(pos).toString());
}

// Trim as the sector key is trimmed: blanks only, both ends.
QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// The kind of good is compared as a number; a text field that holds a number
// counts as that number, anything else is not merchandise.
bool isMerchandise(const store::Value& v) {
    if (v.isNumber())
        return v.number() == 1.0;
    if (v.isText()) {
        bool ok = false;
        const double n = trimBlanks(QString::fromStdString(v.text())).toDouble(&ok);
        return ok && n == 1.0;
    }
    return false;
}

// Goes to the first row; an empty record set is an empty list, not an error.
void firstRow(store::DataSource& ds) {
    try {
        ds.moveFirst();
    } catch (const store::NoCurrentRecord&) {
    }
}

// Moves to the next row. A validation hook that refuses the move would keep
// the walk on the same row for ever, so a refusal ends the build.
void nextRow(store::DataSource& ds) {
    const auto before = ds.position();
    ds.moveNext();
    if (!ds.eof() && ds.position() == before)
        throw store::StoreError("El origen de datos no pasó al registro siguiente.");
}

void reread(store::DataSource& ds, const char* statement) {
    ds.setRecordSource(statement);
    ds.refresh();
    firstRow(ds);
}

const char* const directSectors =
    "select * from sector where cve_sector <> Null and (idsector = 1) order by idsector, cve_sector";
const char* const directGoods =
    "select * from mercbi where idsector <> ' ' and anexo = 1 and tipo_progr <> 0 and anexo <> 0 and "
    "tipobien <> 0 order by idsector, tipo_progr, anexo, tipobien, fraccion";
const char* const indirectSectors =
    "select * from sector where cve_sector <> Null and (idsector = 2) order by idsector, cve_sector";
const char* const indirectGoods =
    "select * from mercbi where idsector <> ' ' and anexo = 2 and tipo_progr = 2 and tipobien = 2 "
    "order by idsector, tipo_progr, anexo, tipobien, fraccion";
const char* const producers = "select RFC, NOMBRE from prodabas ";

enum class Section { Direct, Indirect };

// Walks the sector list and the goods list together: each sector's heading,
// the goods of its key, and the closing notes where the sector had none of a
// kind. The goods list never moves backwards.
void sectorWalk(Section section, const ui::MainWindowState& main, store::DataSource& sectors, store::DataSource& goods,
                QString& lastKey, QString& out) {
    const bool direct = section == Section::Direct;
    int merchandise = 0;
    int goodsCount = 0;
    auto closingNotes = [&] {
        if (merchandise == 0)
            out += QStringLiteral("        NO REGISTRO MERCANCIAS\n");
        if (goodsCount == 0)
            out += QStringLiteral("        NO REGISTRO BIENES\n");
    };
    auto entry = [&] {
        if (isMerchandise(goods.field(12))) {
            out += blanks(7) + fieldText(goods, 2);
            ++merchandise;
        } else {
            if (goodsCount == 0)
                out += QStringLiteral("\n\n     BIENES A PRODUCIR\n");
            out += blanks(7) + fieldText(goods, 2);
            ++goodsCount;
        }
    };

    while (!sectors.eof()) {
        merchandise = 0;
        goodsCount = 0;
        const QString stored = fieldText(sectors, 1);
        const QString key = trimBlanks(stored);
        const QString heading = QStringLiteral("SECTOR ") + stored + blanks(5) + fieldText(sectors, 2);
        out += direct ? QStringLiteral("\n\n") + heading + QStringLiteral("\n\n")
                      : QStringLiteral("\n") + heading + QStringLiteral("\n");

        // An extension lists the direct producer's goods under sector "X" only.
        const bool listed = !direct || main.Combo1Index == 0 || (main.Combo1Index == 1 && stored == QLatin1String("X"));
        if (listed) {
            if (direct)
                out += QStringLiteral("     MERCANCIAS A PRODUCIR\n");
            while (!goods.eof()) {
                lastKey = fieldText(goods, 0);
                if (lastKey == key) {
                    entry();
                    nextRow(goods);
                } else if (QString::compare(lastKey, key) < 0) {
                    nextRow(goods);  // goods of a sector that is not in the list
                } else {
                    closingNotes();  // this row belongs to a later sector
                    break;
                }
            }
        }
        // The goods ran out before reaching this sector's key (or none were read).
        const bool notesDue = listed && QString::compare(lastKey, key) < 0;
        nextRow(sectors);
        if (notesDue)
            closingNotes();
    }
}

QString titleBlock() {
    return QStringLiteral("SECRETARIA DE QUENTARIA\n"
                          "CUESTIONARIO DE SOLICITUD DE PROGRAMA DE VELDORA (ZELTAR)\n\n"
                          "DATOS DE LA SOLICITUD \n\n");
}

QString applicationBlock(const ui::MainWindowState& s) {
    const QString programme = (s.chkProdFinal ? QStringLiteral("Productor Directo") : blanks(1)) + blanks(1)
                              + (s.chkrodIndirecto ? QStringLiteral("Productor Indirecto") : blanks(1));
    QString b;
    b += QStringLiteral("TIPO DE TRAMITE      : ") + s.Combo1 + blanks(4) + QStringLiteral("TIPO DE PROGRAMA : ")
         + programme + blanks(5) + QStringLiteral(" NUMERO DE ZELTAR : ") + s.txtProg1 + blanks(2) + s.txtProg2
         + QStringLiteral("\n\n");
    b += QStringLiteral("RFC : ") + s.MaskEdBox1 + blanks(7) + QStringLiteral("RAZON SOCIAL : ") + s.txtApePat1
         + QStringLiteral("\n");
    b += QStringLiteral("DOMICILIO FISCAL   :\n");
    b += QStringLiteral("CALLE    :") + s.txtCalle + blanks(4) + QStringLiteral("COLONIA  :") + s.txtColonia
         + blanks(15) + QStringLiteral("CODIGO POSTAL  :") + s.txtCP + blanks(4) + QStringLiteral("ESTADO   :")
         + s.txtEstado + QStringLiteral("\n");
    b += QStringLiteral("CIUDAD  :") + s.txtCiudad + blanks(5) + QStringLiteral("MUNICIPIO O DELEGACIÓN  :")
         + s.txtDelMun + QStringLiteral("\n\n");
    // The window has no field of its own for the federal entity: the state is it.
    b += QStringLiteral("ENTIDAD FEDERATIVA   :") + s.txtEstado + blanks(11) + QStringLiteral("TELEFONO(S)  :")
         + s.txtTelefono + blanks(5) + QStringLiteral("FAX   :") + s.txtfax + QStringLiteral("\n");
    b += QStringLiteral("CORREO ELECTRONICO        : ") + s.txtEmail1 + QStringLiteral("\n");
    b += QStringLiteral("ACTIVIDAD PRINCIPAL  :  ") + s.cmbActividad + QStringLiteral("\n");
    b += QStringLiteral("NUMERO DE ACREDITAMIENTO :") + s.txtacredita + QStringLiteral("\n");
    b += QStringLiteral("ADMON. LOCAL DE RECAUDACION   :") + s.Combo5 + QStringLiteral("\n\n");
    return b;
}

QString plantsBlock(store::DataSource& plants) {
    QString b = QStringLiteral("PLANTAS\n");
    firstRow(plants);
    while (!plants.eof()) {
        auto f = [&](std::size_t pos) { return fieldText(plants, pos); };
        b += QStringLiteral("    CALLE     :") + f(0) + QStringLiteral("\n");
        b += blanks(5) + QStringLiteral(" CP        :") + f(1) + QStringLiteral("\n");
        b += blanks(5) + QStringLiteral(" COLONIA   :") + f(2) + QStringLiteral("\n");
        b += blanks(5) + QStringLiteral(" ESTADO    :") + f(3) + QStringLiteral("\n");
        b += blanks(5) + QStringLiteral(" MUNICIPIO :") + f(4) + QStringLiteral("\n");
        b += blanks(5) + QStringLiteral(" CIUDAD    :") + f(5) + QStringLiteral("\n");
        b += blanks(5) + QStringLiteral(" TELEFONO  :") + f(6) + blanks(5) + QStringLiteral(" FAX  :") + f(7)
             + QStringLiteral("\n\n");
        nextRow(plants);
    }
    b += QStringLiteral("\n");
    return b;
}

QString programmeText(const ui::MainWindowState& main, Sources& src) {
    QString p;
    // The goods key read last: empty at the start (before every key but the
    // empty one), and carried from the direct walk into the indirect one.
    QString lastKey;
    if (main.chkProdFinal) {
        reread(src.impsectro, directSectors);
        reread(src.mercancias, directGoods);
        p += QStringLiteral("\nPRODUCTOR DIRECTO\n") + underline(20) + QStringLiteral("\n");
        sectorWalk(Section::Direct, main, src.impsectro, src.mercancias, lastKey, p);

        reread(src.regprodind, producers);
        bool started = false;
        while (!src.regprodind.eof()) {
            if (!started) {
                p += QStringLiteral("\n\nREGISTRO DE PRODUCTORES INDIRECTOS\n") + underline(31) + QStringLiteral("\n\n")
                     + blanks(7) + QStringLiteral(" RFC                     RAZON SOCIAL\n");
                started = true;
            }
            p += blanks(7) + fieldText(src.regprodind, 0) + blanks(7) + fieldText(src.regprodind, 1)
                 + QStringLiteral("\n");
            nextRow(src.regprodind);
        }
    }
    if (main.chkrodIndirecto) {
        reread(src.impsectro, indirectSectors);
        reread(src.mercancias, indirectGoods);
        p += QStringLiteral("\nPRODUCTOR INDIRECTO\n") + underline(22) + QStringLiteral("\n");
        sectorWalk(Section::Indirect, main, src.impsectro, src.mercancias, lastKey, p);
    }
    return p;
}

QString declarationBlock() {
    return QStringLiteral("\n\n"
                          "         MANIFIESTO BAJO PROTESTA DE DECIR LA VERDAD, QUE LOS DATOS ASENTADOS EN LA "
                          "PRESENTE SOLICITUD\n"
                          "Y EN SUS ANEXOS SON CIERTOS Y VERIFICABLES EN CUALQUIER MOMENTO POR LAS AUTORIDADES "
                          "COMPETENTES.\n\n\n");
}

QString representativeBlock(const ui::MainWindowState& s) {
    QString b = QStringLiteral("DATOS DEL REPRESENTANTE LEGAL \n");
    b += QStringLiteral("APELLIDO PATERNO  : ") + s.txtApePatR2 + QStringLiteral("\n");
    b += QStringLiteral("APELLIDO MATERNO Y NOMBRE(S)  : ") + s.txtApeMatR2 + blanks(3) + s.txtNombreR2
         + QStringLiteral("\n");
    b += QStringLiteral("TELEFONO      : ") + s.txtTelefonoR2 + QStringLiteral("\n");
    b += QStringLiteral("FAX    :") + s.txtFaxR2 + QStringLiteral("\n");
    b += QStringLiteral("CORREO ELECTRONICO       : ") + s.EMAILREP + QStringLiteral("\n\n");
    return b;
}

QString signatureBlock(const Input& s) {
    const QString date = s.locale.toString(s.today, QStringLiteral("dd/MMM/yyyy"));
    QString b;
    b += blanks(125) + QStringLiteral("LUGAR : ") + underline(34) + QStringLiteral("\n");
    b += blanks(125) + QStringLiteral("FECHA : ") + date + QStringLiteral("\n\n\n\n");
    b += blanks(140) + underline(20) + QStringLiteral("\n");
    b += blanks(150) + QStringLiteral("FIRMA");
    return b;
}

}  // namespace

Questionnaire ArmaCuestionario(const Input& input, Sources& sources) {
    const QString title = titleBlock();
    QString doc = title + QStringLiteral("\n");
    doc += applicationBlock(input.main);
    doc += plantsBlock(sources.dtsplantas);
    doc += QStringLiteral("\n") + programmeText(input.main, sources) + QStringLiteral("\n");
    doc += QStringLiteral("\n");
    doc += declarationBlock();
    doc += representativeBlock(input.main);
    doc += signatureBlock(input);
    return {doc, static_cast<int>(title.size())};
}

}  // namespace questionnaire
