#include "core/Projects.h"

#include "core/ArrayMax.h"
#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/ItemIndex.h"
#include "core/Settings.h"
#include "core/XML.h"
#include "platform/Prompter.h"

#include <QFileInfo>

namespace {

const QDate ZeroDate(1899, 12, 30);

// One compiled query per field, made on first use; the id is a variable, compared as text like
// "[../id='N']", so no value ever becomes part of the expression.
XPathQuery& dateQuery() {
    static XPathQuery query("//root/project/date[../id=$id]", {"id"});
    return query;
}
XPathQuery& titleQuery() {
    static XPathQuery query("//root/project/title[../id=$id]", {"id"});
    return query;
}
XPathQuery& bodyQuery() {
    static XPathQuery query("//root/project/body[../id=$id]", {"id"});
    return query;
}
XPathQuery& statusQuery() {
    static XPathQuery query("//root/project/status[../id=$id]", {"id"});
    return query;
}

QString idText(Integer id) {
    return QString::number(id.value());
}

QString readField(const pugi::xml_document& doc, XPathQuery& query, Integer id) {
    return gXML->getValue(doc, query.set("id", idText(id)));
}

bool writeField(pugi::xml_document& doc, XPathQuery& query, Integer id, const QString& value) {
    return gXML->setValue(doc, query.set("id", idText(id)), value);
}

} // namespace

const char* Projects::startText() {
    return "<root>\r\n<project>\r\n<id>0</id><date/><title/><body/><status/>\r\n</project>\r\n</root>";
}

QString Projects::filePath() {
    return gSettings->sDataDir() + QStringLiteral("projects.xml");
}

Projects::Projects() {
    trapped(QStringLiteral(" - Projects.Class_Initialize: "), QStringLiteral(" Error"), [this] {
        if (!loadItemXML())
            prompter().messageBox(QStringLiteral("Error!\r\nCould not load data from project.xml!"),
                                  Prompter::Buttons::OK, Prompter::Icon::Exclamation,
                                  errorReportTitle(QStringLiteral(" Error")));
    });
}

QDate Projects::Date_(Integer id) {
    const QString text = readField(m_document, dateQuery(), id).trimmed();
    QDate d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid()) d = QDateTime::fromString(text, Qt::ISODate).date();
    return d.isValid() ? d : ZeroDate;
}

bool Projects::setDate(const QDate& value, Integer id) {
    return writeField(m_document, dateQuery(), id, value.toString(Qt::ISODate));
}

QString Projects::Title(Integer id) {
    return readField(m_document, titleQuery(), id);
}
bool Projects::setTitle(const QString& value, Integer id) {
    return writeField(m_document, titleQuery(), id, value);
}
QString Projects::Body(Integer id) {
    return readField(m_document, bodyQuery(), id);
}
bool Projects::setBody(const QString& value, Integer id) {
    return writeField(m_document, bodyQuery(), id, value);
}
QString Projects::Status(Integer id) {
    return readField(m_document, statusQuery(), id);
}
bool Projects::setStatus(const QString& value, Integer id) {
    return writeField(m_document, statusQuery(), id, value);
}

bool Projects::saveItemXML() {
    trapped(QStringLiteral(" - Projects.saveItemXML: "), QStringLiteral(" Error"), [this] {
        const QString path = filePath();
        if (m_unreadableFile) {
            // Never write over a file that could not be read: keep it under a new name first.
            const QString kept = File::setAsideDamaged(path);
            m_unreadableFile = false;
            if (!kept.isEmpty()) {
                prompter().messageBox(
                    QStringLiteral("The projects file could not be read, so it has been kept as \"%1\". The "
                                   "projects entered since are saved in a new \"projects.xml\".")
                        .arg(QFileInfo(kept).fileName()),
                    Prompter::Buttons::OK, Prompter::Icon::Information, QStringLiteral("Quorvane"));
            }
        } else {
            m_file.keepOutsideChange(path);
        }
        m_file.written(File::writeXMLFile(m_document, path));
    });
    return true;
}

bool Projects::loadItemXML() {
    bool result = true;
    trapped(
        QStringLiteral(" - Projects.loadItemXML: "), QStringLiteral(" Error"),
        [&] {
            XmlParseError error;
            std::optional<FileIdentity> read;
            m_document = gFile->loadXMLFromDisk(filePath(), false, &error, &read);
            if (error.ok()) {
                m_file.read(read);
                return;
            }
            if (error.fileNotFound()) {
                // The file is written at the next save.
                m_file.read(std::nullopt);
                File::readXMLText(m_document, startText());
                return;
            }
            // Unreadable: the store goes on with the template alone, and the file is kept aside before the
            // first save.
            m_unreadableFile = true;
            m_file.forget();
            File::readXMLText(m_document, startText());
            result = false;
            prompter().messageBox(QStringLiteral("Error! Projects.loadItemXML: ") +
                                      QString::number(error.code) + QStringLiteral(": ") + error.reason,
                                  Prompter::Buttons::OK, Prompter::Icon::Exclamation,
                                  QStringLiteral("Quorvane"));
        },
        false);
    if (!m_document.document_element()) {
        // The load itself failed (already reported): a file that is there is kept aside like an unreadable
        // one.
        if (QFileInfo::exists(filePath())) {
            m_unreadableFile = true;
            result = false;
        }
        m_file.forget();
        File::readXMLText(m_document, startText());
    }
    return result;
}

QStringList Projects::getProjectList() {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Projects.getProjectList: "), QStringLiteral(" error"), [&] {
        static XPathQuery query("//root/project/id[../id>0]");
        ids = gXML->getElementValue(m_document, query);
    });
    return ids;
}

Integer Projects::newProject() {
    Integer result = -1;
    trapped(QStringLiteral(" - Projects.newProject: "), QStringLiteral(" error"), [&] {
        const Integer newId = getNewID();
        // A failed id (reported by getNewID) would give a second id 0, the template's.
        if (newId <= Integer(0)) return;
        result = newId;
        static XPathQuery templateQuery("//root/project");
        const pugi::xml_node source = XML::selectFirst(m_document, templateQuery).node();
        if (!source) return;

        pugi::xml_document scratch;
        pugi::xml_node copy = scratch.append_copy(source);
        if (!copy) throw Failure(err::OutOfMemory, Failure::classicDescription(err::OutOfMemory));
        if (!gXML->resetNodeValues(copy)) {
            result = -1;
            return;
        }
        pugi::xml_node id = xpathvalue::firstChild(copy, "id");
        if (!id) id = copy.prepend_child("id");
        XML::setText(id, idText(newId));
        if (!source.parent().append_copy(copy))
            throw Failure(err::OutOfMemory, Failure::classicDescription(err::OutOfMemory));
    });
    return result;
}

Integer Projects::getNewID() {
    Integer result = 0;
    trapped(QStringLiteral(" - Projects.getNewID: "), QStringLiteral(" Error"), [&] {
        static XPathQuery query("/root/project/id");
        const std::optional<Integer> largest = arrayMax(gXML->getElementValue(m_document, query));
        result = largest ? *largest + Integer(1) : Integer(1);
    });
    return result;
}
