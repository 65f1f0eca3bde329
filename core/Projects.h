#pragma once

#include "core/File.h"
#include "platform/Integer.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <pugixml.hpp>

// The store of the user's projects: the whole of "projects.xml" in the data folder, held as one XML
// document and written back only by saveItemXML. The first project is the template (id 0) that new
// projects are copied from. Field accessors address a project by the text of its id; a project or field
// that is not there reads as empty text and is not written (False).
class Projects {
public:
    // Loads the file; when it cannot be read, says so and starts with an empty store.
    Projects();

    // The project's date; the zero date when its text is not a date.
    QDate Date_(Integer id);
    bool setDate(const QDate& value, Integer id);
    QString Title(Integer id);
    bool setTitle(const QString& value, Integer id);
    QString Body(Integer id);
    bool setBody(const QString& value, Integer id);
    QString Status(Integer id);
    bool setStatus(const QString& value, Integer id);

    // Writes the whole document to the data folder. True, also after a reported failure. When the file
    // could not be read at load, it is first kept aside under a new name (and the user told where); so is a
    // file changed on disk since the store read or saved it.
    bool saveItemXML();
    // Loads "projects.xml" from the data folder: a missing file starts the store from its template; a file
    // that cannot be read is reported, the store starts empty and False is returned.
    bool loadItemXML();
    // The ids of every project but the template, in file order; one empty entry when there is none.
    QStringList getProjectList();
    // Adds an empty project copied from the template and returns its id; -1 when none could be added.
    Integer newProject();
    // The largest project id plus 1 (1 for an empty store); 0, reported, when no larger id can be formed.
    Integer getNewID();

    const pugi::xml_document& document() const { return m_document; }

    // The text a projects file starts from.
    static const char* startText();
    // The file's path.
    static QString filePath();

private:
    pugi::xml_document m_document;
    // The file at filePath() could not be read; it is kept aside before anything is written there.
    bool m_unreadableFile = false;
    // The file as read or last saved, to tell a change made outside the program.
    StoreFile m_file{QStringLiteral("projects")};
};
