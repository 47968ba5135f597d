// Other snippet managers' libraries, imported only: massCode's v3 db.json and its v5
// Markdown vault, and SnippetsLab's JSON export. Folders give category and sub-category,
// descriptions the comments, tags the keywords; a snippet's first fragment is a sample
// named after it, each further one a sample "title — fragment label".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/Interchange.h"

namespace snippetdb {

// massCode v3: folders (id, name, parentId), snippets (name, folderId, tagsIds,
// description, content: label, language, value), tags (id, name). Snippets in the trash
// are reported and left out.
void ImportMassCodeDb(std::string_view data, const std::string& file, InterchangeResult& out);

// One note of a massCode v5 vault (code/<folders>/<name>.md): front matter (name,
// description, tags, contents: label and language of each fragment), then a
// "## Fragment: label" section with a fenced code block per fragment. folders: the
// folders below code/, outermost first.
void ImportMassCodeNote(std::string_view data, const std::string& file, const std::string& fileStem,
                        const std::vector<std::string>& folders, InterchangeResult& out);

// SnippetsLab's JSON export: contents.folders (uuid, title, parentUUID), contents.tags
// (uuid, title), contents.snippets (title, folder, tags, fragments: title, language,
// content, note). Smart groups are not imported.
void ImportSnippetsLab(std::string_view data, const std::string& file, InterchangeResult& out);

// The title of a fragment after the first: "title — label" (label, or "fragment N").
std::string FragmentTitle(const std::string& title, const std::string& label, int index);

} // namespace snippetdb
