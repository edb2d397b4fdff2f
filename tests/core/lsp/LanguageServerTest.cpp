#include "tests/core/lsp/ServerHarness.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QStringList codes(const QJsonArray &diagnostics) {
    QStringList out;
    for (const QJsonValue &d : diagnostics)
        out.append(QStringLiteral("%1:%2")
                       .arg(d[u"range"][u"start"][u"line"].toInt())
                       .arg(d[u"code"].toString()));
    return out;
}

QJsonObject change(int line, int from, int endLine, int to, const QString &text) {
    return {{"range", rangeJson(line, from, endLine, to)}, {"text", text}};
}

QStringList labels(const QJsonValue &completion) {
    QStringList out;
    for (const QJsonValue &item : completion[u"items"].toArray())
        out.append(item[u"label"].toString());
    return out;
}

} // namespace

TEST(LanguageServer, AnswersAsTheProtocolSaysBeforeDuringAndAfterItsLife) {
    ServerHarness h;
    EXPECT_EQ(h.request("textDocument/hover", h.at("x.con", 0, 0))[u"error"][u"code"].toInt(),
              LanguageServer::ServerNotInitialized);
    h.initialize();
    const QJsonObject capabilities = h.answerTo(2)[u"result"][u"capabilities"].toObject();
    EXPECT_EQ(capabilities[u"textDocumentSync"][u"change"].toInt(), 2); // incremental
    EXPECT_TRUE(capabilities[u"renameProvider"][u"prepareProvider"].toBool());
    EXPECT_EQ(h.request("initialize", QJsonObject())[u"error"][u"code"].toInt(),
              LanguageServer::InvalidRequest);

    EXPECT_EQ(h.request("textDocument/colorPresentation")[u"error"][u"code"].toInt(),
              LanguageServer::MethodNotFound);
    const qsizetype before = h.received.size();
    h.notify("$/unknownNotification");
    h.notify("$/setTrace", QJsonObject{{"value", "off"}});
    EXPECT_EQ(h.received.size(), before); // notifications get no answer

    h.sendRaw(frameMessage("{\"jsonrpc\":\"2.0\",\"id\":"));
    EXPECT_EQ(h.received.last()[u"error"][u"code"].toInt(), LanguageServer::ParseError);
    EXPECT_TRUE(h.received.last()[u"id"].isNull());
    h.sendRaw(frameMessage("[1,2]"));
    EXPECT_EQ(h.received.last()[u"error"][u"code"].toInt(), LanguageServer::InvalidRequest);

    // A request and its cancellation in one breath: answered as cancelled.
    h.sendRaw(ServerHarness::framed(
                  h.requestMessage("workspace/symbol", QJsonObject{{"query", ""}}, 77)) +
              ServerHarness::framed({{"jsonrpc", "2.0"},
                                     {"method", "$/cancelRequest"},
                                     {"params", QJsonObject{{"id", 77}}}}));
    EXPECT_EQ(h.answerTo(77)[u"error"][u"code"].toInt(), LanguageServer::RequestCancelled);
    // A request still works afterwards, with a string id.
    h.sendRaw(ServerHarness::framed({{"jsonrpc", "2.0"},
                                     {"id", "s1"},
                                     {"method", "workspace/symbol"},
                                     {"params", QJsonObject{{"query", "Tank_Hull"}}}}));
    EXPECT_TRUE(h.received.last()[u"result"].isArray());
    EXPECT_EQ(h.received.last()[u"id"].toString(), "s1");

    EXPECT_TRUE(h.request("shutdown").contains("result"));
    EXPECT_EQ(h.request("workspace/symbol", QJsonObject{{"query", ""}})[u"error"][u"code"].toInt(),
              LanguageServer::InvalidRequest);
    EXPECT_EQ(h.exitStatus, -1);
    h.notify("exit");
    EXPECT_EQ(h.exitStatus, 0);
    const qsizetype after = h.received.size();
    h.request("shutdown");
    EXPECT_EQ(h.received.size(), after); // nothing is answered once it exited
}

TEST(LanguageServer, ExitWithoutShutdownEndsWithStatusOne) {
    ServerHarness h;
    h.initialize();
    h.notify("exit");
    EXPECT_EQ(h.exitStatus, 1);
    EXPECT_EQ(h.server->statusAtEndOfInput(), 1);
}

TEST(LanguageServer, ReportsTheProblemsOfAScriptAsItIsTypedAndOffersTheirMending) {
    ServerHarness h;
    h.initialize();
    h.open("objects/vehicles/tank/tank.con");
    const char *tank = "objects/vehicles/tank/tank.con";
    QJsonArray problems = h.diagnostics(tank);
    EXPECT_EQ(codes(problems), QStringList({"7:missing-file", "8:unknown-command"}));
    // The mod check's own words and severity: a letter away from a known command is an error.
    EXPECT_EQ(problems[1][u"severity"].toInt(), 1);
    EXPECT_EQ(problems[1][u"message"].toString(),
              "unknown command ObjectTemplate.setMaxSped; did you mean "
              "ObjectTemplate.setMaxSpeed?");
    EXPECT_EQ(problems[1][u"range"].toObject(), lineRangeJson(8, 0, 25));
    EXPECT_TRUE(
        problems[1][u"data"][u"suggestions"].toArray().contains("ObjectTemplate.setMaxSpeed"));

    // Typing a misspelt name on a new first line: the line numbers follow, the new name is
    // undefined and the near name is suggested.
    h.notify(
        "textDocument/didChange",
        QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(tank)}, {"version", 2}}},
                    {"contentChanges",
                     QJsonArray{change(0, 0, 0, 0, "ObjectTemplate.addTemplate Tank_Hul\r\n")}}});
    problems = h.diagnostics(tank);
    EXPECT_EQ(codes(problems),
              QStringList({"0:undefined-name", "8:missing-file", "9:unknown-command"}));
    EXPECT_TRUE(problems[0][u"message"].toString().startsWith(
        "ObjectTemplate.addTemplate names Tank_Hul, but no ObjectTemplate of that name is "
        "defined; did you mean Tank_Hull"))
        << problems[0][u"message"].toString().toStdString();
    EXPECT_EQ(problems[0][u"data"][u"suggestions"].toArray().first().toString(), "Tank_Hull");

    // The actions for the command's line: the suggestion and "ignore here".
    const QJsonArray actions =
        h.result("textDocument/codeAction",
                 QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(tank)}}},
                             {"range", rangeJson(9, 3, 9, 3)},
                             {"context", QJsonObject{{"diagnostics", QJsonArray()}}}})
            .toArray();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0][u"title"].toString(), "Change to ObjectTemplate.setMaxSpeed");
    const QJsonObject fix = actions[0][u"edit"][u"changes"][h.uri(tank)][0].toObject();
    EXPECT_EQ(fix[u"newText"].toString(), "ObjectTemplate.setMaxSpeed");
    EXPECT_EQ(fix[u"range"].toObject(), lineRangeJson(9, 0, 25));
    const QJsonObject ignore = actions[1][u"edit"][u"changes"][h.uri(tank)][0].toObject();
    EXPECT_EQ(ignore[u"newText"].toString(), "rem marlix: ignore unknown-command\r\n");

    // The client applies "ignore here": the problem goes, the others stay.
    h.notify(
        "textDocument/didChange",
        QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(tank)}, {"version", 3}}},
                    {"contentChanges", QJsonArray{QJsonObject{{"range", ignore[u"range"]},
                                                              {"text", ignore[u"newText"]}}}}});
    EXPECT_EQ(codes(h.diagnostics(tank)), QStringList({"0:undefined-name", "8:missing-file"}));
    // A whole new text replaces the old.
    h.notify(
        "textDocument/didChange",
        QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(tank)}, {"version", 4}}},
                    {"contentChanges", QJsonArray{QJsonObject{{"text", "rem nothing left\n"}}}}});
    EXPECT_TRUE(h.diagnostics(tank).isEmpty());
    // Nothing was written to disk.
    EXPECT_TRUE(readAll(h.tree.path(tank)).contains("setMaxSped"));
}

TEST(LanguageServer, ANameDefinedInAnotherOpenScriptCountsBeforeItIsSaved) {
    ServerHarness h;
    h.initialize();
    const char *tank = "objects/vehicles/tank/tank.con";
    const char *inc = "objects/vehicles/tank/tank.inc";
    h.open(tank);
    h.open(inc);
    auto edit = [&](const char *script, int version, const QString &text) {
        h.notify(
            "textDocument/didChange",
            QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(script)}, {"version", version}}},
                        {"contentChanges", QJsonArray{change(0, 0, 0, 0, text)}}});
    };
    edit(tank, 2, "ObjectTemplate.addTemplate Tank_Periscope\r\n");
    EXPECT_TRUE(codes(h.diagnostics(tank)).contains("0:undefined-name"));
    // The included script, open and unsaved, now defines the name: the reference is good.
    edit(inc, 2, "ObjectTemplate.create SimpleObject Tank_Periscope\n");
    EXPECT_FALSE(codes(h.diagnostics(tank)).contains("0:undefined-name"));
    // Closing it unsaved leaves the file on disk, which does not define it.
    h.notify("textDocument/didClose",
             QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(inc)}}}});
    EXPECT_TRUE(codes(h.diagnostics(tank)).contains("0:undefined-name"));
}

TEST(LanguageServer, ADuplicateNamesItsFirstDefinitionAndClosingClearsTheProblems) {
    ServerHarness h;
    h.initialize();
    const char *inc = "objects/vehicles/tank/tank.inc";
    h.open(inc);
    const QJsonArray problems = h.diagnostics(inc);
    ASSERT_EQ(codes(problems), QStringList({"1:duplicate-name"}));
    const QJsonObject related = problems[0][u"relatedInformation"][0].toObject();
    EXPECT_EQ(related[u"location"][u"uri"].toString(), h.uri("objects/common/dupes.con"));
    EXPECT_EQ(related[u"location"][u"range"][u"start"][u"line"].toInt(), 0);
    h.notify("textDocument/didClose",
             QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(inc)}}}});
    EXPECT_TRUE(h.diagnostics(inc).isEmpty());
}

TEST(LanguageServer, FindsDefinitionsReferencesAndFilesAcrossTheMod) {
    ServerHarness h;
    h.initialize();
    const char *level = "bf1942/levels/test/objects.con", *tank = "objects/vehicles/tank/tank.con";
    h.open(level);
    h.open(tank);
    QJsonArray found = h.result("textDocument/definition", h.at(level, 0, 16)).toArray();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].toObject(), locationJson(h.tree.path(tank), 1, 29, 9));
    found = h.result("textDocument/definition", h.at(tank, 5, 10)).toArray(); // include tank.inc
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0][u"uri"].toString(), h.uri("objects/vehicles/tank/tank.inc"));
    EXPECT_TRUE(h.result("textDocument/definition", h.at(tank, 0, 2)).isNull()); // a remark

    QJsonObject params = h.at(tank, 1, 30);
    params[u"context"] = QJsonObject{{"includeDeclaration", true}};
    EXPECT_EQ(h.result("textDocument/references", params).toArray().size(), 2);
    params[u"context"] = QJsonObject{{"includeDeclaration", false}};
    found = h.result("textDocument/references", params).toArray();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0][u"uri"].toString(), h.uri(level));

    const QJsonArray highlights =
        h.result("textDocument/documentHighlight", h.at(tank, 1, 30)).toArray();
    ASSERT_EQ(highlights.size(), 1);
    EXPECT_EQ(highlights[0][u"kind"].toInt(), 3);

    // A definition typed into an open script counts before it is saved.
    h.notify("textDocument/didChange",
             QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(level)}, {"version", 2}}},
                         {"contentChanges",
                          QJsonArray{change(
                              0, 0, 0, 0,
                              "ObjectTemplate.create Bundle Fresh\r\nObject.create fresh\r\n")}}});
    found = h.result("textDocument/definition", h.at(level, 1, 15)).toArray();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].toObject(), locationJson(h.tree.path(level), 0, 29, 5));
}

TEST(LanguageServer, HoverTellsFamilyTypeAndPlaceOfANameAndWhatACommandDoes) {
    ServerHarness h;
    h.initialize();
    const char *level = "bf1942/levels/test/objects.con";
    h.open(level);
    QJsonObject hover = h.result("textDocument/hover", h.at(level, 0, 20)).toObject();
    QString text = hover[u"contents"][u"value"].toString();
    EXPECT_TRUE(text.startsWith("**ObjectTemplate** `Tank_Hull`")) << text.toStdString();
    EXPECT_TRUE(text.contains("type `Bundle`, defined at " +
                              h.tree.path("objects/vehicles/tank/tank.con") + ":2"))
        << text.toStdString();
    EXPECT_EQ(hover[u"range"].toObject(), lineRangeJson(0, 14, 9));

    text = h.result("textDocument/hover", h.at(level, 0, 3))[u"contents"][u"value"].toString();
    EXPECT_TRUE(text.contains("`Object.create`: a known command")) << text.toStdString();
    EXPECT_TRUE(text.contains("Names a ObjectTemplate defined elsewhere: argument 1"))
        << text.toStdString();
    h.open("objects/vehicles/tank/tank.con");
    text = h.result("textDocument/hover",
                    h.at("objects/vehicles/tank/tank.con", 8, 4))[u"contents"][u"value"]
               .toString();
    EXPECT_TRUE(text.contains("not in the table of known commands")) << text.toStdString();
    h.open("objects/blank.con", "\r\n   \r\nrem Object.create Tank_Hull\r\n");
    EXPECT_TRUE(h.result("textDocument/hover", h.at("objects/blank.con", 1, 1)).isNull());
    EXPECT_TRUE(h.result("textDocument/hover", h.at("objects/blank.con", 2, 20)).isNull());
}

TEST(LanguageServer, CompletesTriggerCodesAndTemplateNamesAsTheEditorDoes) {
    ServerHarness h;
    h.initialize();
    const char *fresh = "objects/new.con";
    h.open(fresh, "Object.create \r\nObject.create "
                  "Tank_H\r\nObjectTemplate.\r\nObjectTemplate.addT\r\nrem Object.create \r\n");
    QJsonValue list = h.result("textDocument/completion", h.at(fresh, 0, 14));
    EXPECT_EQ(labels(list).size(), 3) << labels(list).join(",").toStdString();
    EXPECT_TRUE(labels(list).contains("Tank_Hull"));
    list = h.result("textDocument/completion", h.at(fresh, 1, 20));
    EXPECT_EQ(labels(list), QStringList({"Tank_Hull"}));
    EXPECT_EQ(list[u"items"][0][u"textEdit"][u"range"].toObject(), rangeJson(1, 14, 1, 20));

    list = h.result("textDocument/completion", h.at(fresh, 2, 15));
    EXPECT_TRUE(labels(list).contains("addTemplate"));
    EXPECT_GT(labels(list).size(), 50);
    list = h.result("textDocument/completion", h.at(fresh, 3, 19));
    EXPECT_TRUE(labels(list).contains("addTemplate"));
    for (const QString &label : labels(list))
        EXPECT_TRUE(label.startsWith("addT", Qt::CaseInsensitive)) << label.toStdString();
    EXPECT_EQ(list[u"items"][0][u"textEdit"][u"range"].toObject(), rangeJson(3, 15, 3, 19));
    // Remarks offer nothing.
    EXPECT_TRUE(labels(h.result("textDocument/completion", h.at(fresh, 4, 18))).isEmpty());
}

TEST(LanguageServer, RenameIsAnEditForTheClientAndRefusalsSayWhy) {
    ServerHarness h;
    h.initialize();
    const char *level = "bf1942/levels/test/objects.con", *tank = "objects/vehicles/tank/tank.con";
    const QByteArray tankBytes = readAll(h.tree.path(tank));
    h.open(level);
    const QJsonObject prepared =
        h.result("textDocument/prepareRename", h.at(level, 0, 16)).toObject();
    EXPECT_EQ(prepared[u"range"].toObject(), lineRangeJson(0, 14, 9));
    EXPECT_EQ(prepared[u"placeholder"].toString(), "Tank_Hull");

    QJsonObject params = h.at(level, 0, 16);
    params[u"newName"] = "Tank_Body";
    const QJsonObject changes = h.result("textDocument/rename", params)[u"changes"].toObject();
    EXPECT_EQ(changes.keys().size(), 2);
    EXPECT_EQ(changes[h.uri(level)][0].toObject(),
              (QJsonObject{{"range", lineRangeJson(0, 14, 9)}, {"newText", "Tank_Body"}}));
    EXPECT_EQ(changes[h.uri(tank)][0].toObject(),
              (QJsonObject{{"range", lineRangeJson(1, 29, 9)}, {"newText", "Tank_Body"}}));
    EXPECT_EQ(readAll(h.tree.path(tank)), tankBytes); // the server writes nothing

    params[u"newName"] = "Tank Body";
    QJsonObject answer = h.request("textDocument/rename", params);
    EXPECT_EQ(answer[u"error"][u"code"].toInt(), LanguageServer::RequestFailed);
    EXPECT_TRUE(answer[u"error"][u"message"].toString().contains("not one word"));

    h.open(tank);
    answer = h.request("textDocument/prepareRename", h.at(tank, 4, 28)); // Tank_AI, in ai.rfa
    EXPECT_TRUE(answer[u"error"][u"message"].toString().contains("inside the archive"))
        << answer[u"error"][u"message"].toString().toStdString();
}

TEST(LanguageServer, TheBaseGameIsReadButNeverReportedNorRenamed) {
    ServerHarness h;
    h.initialize(QJsonObject{{"baseFolders", QJsonArray{h.tree.path("bf1942")}}});
    const char *level = "bf1942/levels/test/objects.con";
    h.open(level, "Object.create Tank_Hull\r\nObject.create Nowhere\r\n");
    EXPECT_TRUE(h.diagnostics(level).isEmpty());
    const QJsonObject answer = h.request("textDocument/prepareRename", h.at(level, 0, 16));
    EXPECT_TRUE(answer[u"error"][u"message"].toString().contains("base game"));
}

TEST(LanguageServer, CountsPositionsInCharactersOfTheScriptsOwnBytes) {
    ServerHarness h;
    h.initialize();
    const char *cafe = "objects/cafe.con";
    h.open(cafe, "rem \x93quoted\x94 \x85\r\nObjectTemplate.create Bundle Caf\xe9\x99\r\n\x93 "
                 "rem\r\nObject.create Caf\xe9\x99\r\n");
    const QString name = QString::fromUtf8("Café™");
    const QJsonObject hover = h.result("textDocument/hover", h.at(cafe, 3, 17)).toObject();
    EXPECT_TRUE(hover[u"contents"][u"value"].toString().contains(name));
    EXPECT_EQ(hover[u"range"].toObject(), lineRangeJson(3, 14, 5));
    QJsonObject params = h.at(cafe, 1, 31);
    params[u"newName"] = QString::fromUtf8("Tank€");
    const QJsonArray edits =
        h.result("textDocument/rename", params)[u"changes"][h.uri(cafe)].toArray();
    ASSERT_EQ(edits.size(), 2);
    EXPECT_EQ(edits[1].toObject(), (QJsonObject{{"range", lineRangeJson(3, 14, 5)},
                                                {"newText", QString::fromUtf8("Tank€")}}));
}

TEST(LanguageServer, ListsObjectsNamesAndFoldableBlocks) {
    ServerHarness h;
    h.initialize();
    const char *tank = "objects/vehicles/tank/tank.con";
    h.open(tank);
    QStringList names;
    for (const QJsonValue &s :
         h.result("textDocument/documentSymbol",
                  QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(tank)}}}})
             .toArray())
        names.append(s[u"name"].toString() + "/" + s[u"detail"].toString());
    // As the object list shows them: the template inside a remark block is left out.
    EXPECT_EQ(names, QStringList({"Tank_Hull/Bundle"}));

    names.clear();
    for (const QJsonValue &s :
         h.result("workspace/symbol", QJsonObject{{"query", "tank_t"}}).toArray())
        names.append(s[u"name"].toString() + " " + s[u"containerName"].toString());
    names.sort();
    EXPECT_EQ(names, QStringList({"TANK_TURRET ObjectTemplate", "Tank_Turret ObjectTemplate"}));

    h.open("objects/modes.con",
           "if v_arg1 == host\r\n  beginRem\r\n  if x\r\n  endRem\r\n  run a\r\nendIf\r\n");
    const QJsonArray folds =
        h.result("textDocument/foldingRange",
                 QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri("objects/modes.con")}}}})
            .toArray();
    ASSERT_EQ(folds.size(), 2);
    EXPECT_EQ(folds[0].toObject(),
              (QJsonObject{{"startLine", 1}, {"endLine", 3}, {"kind", "comment"}}));
    EXPECT_EQ(folds[1].toObject(),
              (QJsonObject{{"startLine", 0}, {"endLine", 5}, {"kind", "region"}}));
    // tank.con's beginRem block folds too.
    EXPECT_EQ(h.result("textDocument/foldingRange",
                       QJsonObject{{"textDocument", QJsonObject{{"uri", h.uri(tank)}}}})
                  .toArray()
                  .size(),
              1);
}
