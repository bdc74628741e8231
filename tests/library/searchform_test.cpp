#include "library/searchform.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

struct Folding {
    const char* text;
    const char* form;
};

void PrintTo(const Folding& f, std::ostream* os) {
    *os << '"' << f.text << '"';
}

class SearchFormFolds : public ::testing::TestWithParam<Folding> {};

TEST_P(SearchFormFolds, ToTheFormBothSidesShare) {
    EXPECT_EQ(searchForm(GetParam().text), GetParam().form);
}

INSTANTIATE_TEST_SUITE_P(Widths, SearchFormFolds,
                         ::testing::Values(Folding{"ＡＢＣ１２３！", "abc123!"},
                                           Folding{"Ｈｅｌｌｏ　Ｗｏｒｌｄ", "hello world"},
                                           Folding{"ｶﾗｵｹ", "からおけ"}, Folding{"ｶﾞｯﾂ", "がっつ"},
                                           Folding{"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "ぱぴぷぺぽ"},
                                           Folding{"ｳﾞｧｲｵﾘﾝ", "ゔぁいおりん"},
                                           Folding{"ｰ｡｢｣､･", "ー。「」、・"},
                                           Folding{"ﾞｱ", "\u3099あ"}));

INSTANTIATE_TEST_SUITE_P(Kana, SearchFormFolds,
                         ::testing::Values(Folding{"アサノウタ", "あさのうた"},
                                           Folding{"カラオケ", "からおけ"}, Folding{"ヴ", "ゔ"},
                                           Folding{"ヶ月ヵ", "ゖ月ゕ"}, Folding{"ヽヾ", "ゝゞ"},
                                           // ヷ has no hiragana and stays; ー is both scripts' own.
                                           Folding{"ヷー", "ヷー"},
                                           // Marks written apart join the kana before them.
                                           Folding{"か\u3099は\u309a", "がぱ"},
                                           Folding{"カ゛ハ゜", "がぱ"}, Folding{"ワ\u3099", "ヷ"},
                                           Folding{"ん\u3099", "ん\u3099"}));

INSTANTIATE_TEST_SUITE_P(LetterCase, SearchFormFolds,
                         ::testing::Values(Folding{"Hello WORLD", "hello world"},
                                           Folding{"ÄÖÜ É×", "äöü é×"}, Folding{"ŁÓDŹ Ÿ", "łódź ÿ"},
                                           Folding{"ΑΒΓ ДЖЁ", "αβγ джё"}, Folding{"〜～", "~~"}));

TEST(SearchForm, KeepsEveryLineBreakWhereItWas) {
    EXPECT_EQ(searchForm("ｱｲ\nＢ\r\nｶﾞ\n"), "あい\nb\r\nが\n");
}

TEST(SearchForm, TurnsBrokenUtf8IntoReplacementCharacters) {
    EXPECT_EQ(searchForm("a\xff"
                         "b\xe3\x81"),
              "a\xef\xbf\xbd"
              "b\xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(searchForm("\xc0\xaf"), "\xef\xbf\xbd\xef\xbf\xbd");  // overlong "/"
}

}  // namespace
}  // namespace orba
