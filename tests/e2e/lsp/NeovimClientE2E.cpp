// Neovim's own language client (vim.lsp), headless, using marlix-lsp on a small mod.
#include "core/lsp/ServerJson.h"
#include "tests/core/FileBytes.h"
#include "tests/core/modindex/ModTree.h"
#include "tests/e2e/lsp/LspProcess.h"

#include <QJsonArray>
#include <QStandardPaths>

namespace {

// Runs in Neovim: opens the level script, waits for its problems, asks definition,
// references, hover and completion, renames through the client's own workspace edit, writes
// every changed buffer and leaves the answers in a JSON file.
const char script[] = R"LUA(
local out = { diagnostics = {} }
local env = vim.env
local function finish()
  local f = io.open(env.MARLIX_OUT, "w")
  f:write(vim.fn.json_encode(out))
  f:close()
  vim.cmd("qall!")
end
local ok, err = pcall(function()
  local id = vim.lsp.start_client({
    cmd = { env.MARLIX_LSP, "--stdio" },
    root_dir = env.MARLIX_MOD,
    workspace_folders = { { uri = vim.uri_from_fname(env.MARLIX_MOD), name = "MyMod" } },
    handlers = {
      ["textDocument/publishDiagnostics"] = function(_, result)
        out.diagnostics[result.uri] = result.diagnostics
      end,
    },
  })
  vim.cmd("edit " .. env.MARLIX_FILE)
  local buf = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(buf, id)
  local uri = vim.uri_from_bufnr(buf)
  vim.wait(20000, function() return out.diagnostics[uri] ~= nil end, 20)
  out.first = out.diagnostics[uri]

  local function ask(method, params)
    local answers = vim.lsp.buf_request_sync(buf, method, params, 20000)
    return answers and answers[id] and (answers[id].result or { error = answers[id].error })
  end
  local at = { textDocument = { uri = uri }, position = { line = 0, character = 16 } }
  out.definition = ask("textDocument/definition", at)
  out.references = ask("textDocument/references",
    { textDocument = at.textDocument, position = at.position, context = { includeDeclaration = true } })
  out.hover = ask("textDocument/hover", at)

  -- Typing a new line: a template name is completed, and a misspelt one is reported.
  vim.api.nvim_buf_set_lines(buf, 3, 3, false, { "Object.create ", "Object.create Tank_Hul" })
  out.completion = ask("textDocument/completion",
    { textDocument = { uri = uri }, position = { line = 3, character = 14 } })
  vim.wait(20000, function()
    for _, d in ipairs(out.diagnostics[uri] or {}) do
      if d.code == "undefined-name" then return true end
    end
    return false
  end, 20)
  out.typed = out.diagnostics[uri]
  vim.api.nvim_buf_set_lines(buf, 3, 5, false, {})

  local edit = ask("textDocument/rename",
    { textDocument = { uri = uri }, position = { line = 0, character = 16 }, newName = "Tank_Body" })
  out.rename = edit
  vim.lsp.util.apply_workspace_edit(edit, "utf-16")
  vim.cmd("silent wall")
  out.client_stopped = true
  vim.lsp.stop_client(id)
end)
if not ok then out.failure = tostring(err) end
finish()
)LUA";

} // namespace

TEST(NeovimClient, DefinitionReferencesHoverCompletionRenameAndProblems) {
    const QString nvim = QStandardPaths::findExecutable("nvim");
    if (nvim.isEmpty())
        GTEST_SKIP() << "Neovim is not installed (scripts/deps.sh installs it)";
    LspProgram program;
    ModTree tree;
    const QString level = tree.path("bf1942/levels/test/objects.con");
    const QString tank = tree.path("objects/vehicles/tank/tank.con");
    const QByteArray tankBefore = readAll(tank);
    QTemporaryDir work;
    const QString lua = work.filePath("client.lua"), out = work.filePath("answers.json");
    {
        QFile file(lua);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script);
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MARLIX_LSP", program.exe());
    env.insert("MARLIX_MOD", tree.mod);
    env.insert("MARLIX_FILE", level);
    env.insert("MARLIX_OUT", out);
    env.insert("XDG_STATE_HOME", work.filePath("state"));
    env.insert("XDG_DATA_HOME", work.filePath("data"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(tree.mod);
    process.start(nvim, {"--headless", "--clean", "-n", "-c", "luafile " + lua});
    ASSERT_TRUE(process.waitForFinished(120000)) << "Neovim did not finish";
    const QJsonObject answers = QJsonDocument::fromJson(readAll(out)).object();
    ASSERT_FALSE(answers.isEmpty()) << process.readAllStandardError().constData();
    ASSERT_FALSE(answers.contains("failure")) << answers["failure"].toString().toStdString();

    const QString levelUri = marlix::uriOfPath(level), tankUri = marlix::uriOfPath(tank);
    // The level script as written has no problem; its typed lines had one.
    EXPECT_TRUE(answers["first"].toArray().isEmpty());
    bool undefined = false;
    for (const QJsonValue &d : answers["typed"].toArray())
        undefined |=
            d["code"].toString() == "undefined-name" && d["range"]["start"]["line"].toInt() == 4;
    EXPECT_TRUE(undefined) << QJsonDocument(answers["typed"].toArray()).toJson().constData();

    const QJsonArray definition = answers["definition"].toArray();
    ASSERT_EQ(definition.size(), 1) << QJsonDocument(answers).toJson().constData();
    EXPECT_EQ(definition[0]["uri"].toString(), tankUri);
    EXPECT_EQ(definition[0]["range"]["start"]["line"].toInt(), 1);
    EXPECT_EQ(answers["references"].toArray().size(), 2);
    EXPECT_TRUE(answers["hover"]["contents"]["value"].toString().contains("type `Bundle`"));
    QStringList labels;
    for (const QJsonValue &item : answers["completion"]["items"].toArray())
        labels.append(item["label"].toString());
    EXPECT_TRUE(labels.contains("Tank_Hull")) << labels.join(",").toStdString();

    // Neovim made the rename and wrote both scripts: only the word changed.
    EXPECT_EQ(answers["rename"]["changes"].toObject().keys().size(), 2);
    QByteArray expected = tankBefore;
    expected.replace("Bundle Tank_Hull\r\n", "Bundle Tank_Body\r\n");
    EXPECT_EQ(readAll(tank), expected);
    EXPECT_TRUE(
        readAll(level).startsWith("Object.create Tank_Body\r\nObject.create tank_engine\r\n"))
        << readAll(level).constData();
}
