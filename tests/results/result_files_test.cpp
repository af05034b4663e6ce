// Names of the result files, and the escaping of names for JSON and XML.
#include "results/result_files.h"

#include <gtest/gtest.h>

#include <string>

#include "results/result_text.h"
#include "support/test_support.h"

TEST(ResultFiles, NamesReplaceTheListingsExtensionAndNeverTakeItsName) {
    ResetState();
    const char* const cases[][3] = {
        // listing, JSON, units partition
        {"davis.lst", "davis.json", "davis.clu"},
        {"runs.d/Model.LST", "runs.d/Model.json", "runs.d/Model.clu"},
        {"runs.d/model", "runs.d/model.json", "runs.d/model.clu"},  // the folder's dot is no extension
        {".lst", ".lst.json", ".lst.clu"},                          // a hidden file
        {"out.svg", "out.svg.json", "out.svg.clu"},                 // would be the picture
        {"out.CLU", "out.CLU.json", "out.CLU.clu"},                 // would be a partition
    };
    for (const auto& c : cases) {
        LstFileName = c[0];
        EXPECT_EQ(ResultFileName(JsonResultFile), c[1]);
        EXPECT_EQ(ResultFileName(UnitsResultFile), c[2]);
    }
    LstFileName = "a.lst";
    EXPECT_EQ(ResultFileName(PictureResultFile), "a.svg");
    EXPECT_EQ(ResultFileName(RowsResultFile), "a-rows.clu");
    EXPECT_EQ(ResultFileName(ColsResultFile), "a-cols.clu");
}

static std::string Json(const std::string& text) {
    std::string out;
    AppendJsonText(out, text.data(), text.size());
    return out;
}

static std::string Xml(const std::string& text) {
    std::string out;
    AppendXmlText(out, text.data(), text.size());
    return out;
}

TEST(ResultText, EscapesSpecialCharactersAndKeepsEveryByte) {
    EXPECT_EQ(Json("a\"b\\c\td\x01" "e\x7f"), "a\\\"b\\\\c\\td\\u0001e\x7f");
    EXPECT_EQ(Xml("A&B <x> \"q\" 'p'\x01"), "A&amp;B &lt;x&gt; &quot;q&quot; &apos;p&apos;&#xFFFD;");
    // Valid UTF-8 (e acute, euro sign, a four-byte emoji) passes whole.
    std::string utf8 = "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80";
    EXPECT_EQ(Json(utf8), utf8);
    EXPECT_EQ(Xml(utf8), utf8);
    EXPECT_EQ(TextCharacters(utf8.data(), utf8.size()), 3);
    // A Latin-1 e acute, an overlong '/', an encoded surrogate and a cut
    // sequence: every byte becomes its Latin-1 character.
    std::string bad = "\xe9|\xc0\xaf|\xed\xa0\x80|\xe2\x82";
    EXPECT_EQ(Json(bad), "\\u00e9|\\u00c0\\u00af|\\u00ed\\u00a0\\u0080|\\u00e2\\u0082");
    EXPECT_EQ(Xml(bad), "&#xE9;|&#xC0;&#xAF;|&#xED;&#xA0;&#x80;|&#xE2;&#x82;");
    EXPECT_EQ(TextCharacters(bad.data(), bad.size()), 11);
    // Characters XML 1.0 cannot hold at all.
    EXPECT_EQ(Xml("\xef\xbf\xbe"), "&#xFFFD;");
}
