// The quillet command line as a user meets it: for each invocation of each command, the exit
// code, standard output and error, and the files the run leaves behind. Every row runs the
// built program in a scratch folder of its own that holds the templates below, with TZ=UTC and
// fixed report times, so that the outputs do not depend on the machine or the hour.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/app/program_run.h"

namespace quillet::test {
namespace {

namespace fs = std::filesystem;

// What a stream must hold: exactly one text, or each of some pieces somewhere in it.
struct text_match {
  bool exact;
  std::vector<std::string> pieces;
};
text_match is(const std::string& text) { return {true, {text}}; }
template <class... T>
text_match has(const T&... pieces) {
  return {false, {pieces...}};
}
const text_match nothing = is("");

// A file the run leaves in its scratch folder, and a piece of text it must hold ("": any).
struct left_file {
  std::string path;
  std::string holds;
};

struct cli_row {
  const char* name;
  std::vector<std::string> args;
  int exit_code;
  text_match out;
  text_match err;
  std::vector<left_file> left = {};  // every file the run adds, sorted by path
};

const char* const plain_template =
    "<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY><P><!--$VX ELT VALUE=%{1+2}%-->x</P></BODY></HTML>\r\n";
const char* const trend_object =
    "<OBJECT CLASSID=\"CLSID:12175724-4241-11D2-9C51-0000E8DBF60C\" WIDTH=200 HEIGHT=100>"
    "<!--$VX ELT CHANNEL=%{CHAN(\"LEVEL\", 0, \"PUMPSTATION\")}%\n DT=%{60}%--></OBJECT>";

// The files every scratch folder starts with.
const std::map<std::string, std::string> inputs = {
    {"t.html", plain_template},
    {"open.html", "<HTML><BODY><P>a<P>b &amp; c<UL><LI>x<LI>y</UL></BODY></HTML>\n"},
    {"bad.html",
     "<HTML><BODY><TABLE><TR><TD><!--$VX ELT VALUE=%{1+}%-->72.5</TD>"
     "<TD><!--$VX ELT VALUE=%{NOSUCH(1)}%-->x</TD></TR></TABLE></BODY></HTML>\n"},
    {"vars.html",
     "<HTML><HEAD><!--$VX VAR NAME=a VALUE=%{@b}%--><!--$VX VAR NAME=b VALUE=%{@a}%--></HEAD>"
     "<BODY></BODY></HTML>\n"},
    {"trend.html", std::string("<HTML><BODY><P>") + trend_object + "</P></BODY></HTML>\n"},
    {"loop.html", "<HTML><BODY><B><!--$VX ELT VALUE=%{while 1 do 0; 5;}%--></B></BODY></HTML>\n"},
    {"prj.html",
     "<HTML><HEAD><!--$VX DOC PRJ=%{\"gone.json\"}%--></HEAD>"
     "<BODY><P><!--$VX ELT VALUE=%{NAME(CHAN(\"LEVEL\", 0, \"PUMPSTATION\"))}%-->x</P></BODY></HTML>\n"},
    {"notes.txt", "just text\n"},
    {"rows.csv", "time,channel,value\n1700000000,LEVEL,4.5\n1700000060,LEVEL,high\n1700000120,LEVEL,4.4\n"},
    {"level.html", "<HTML><BODY><P><!--$VX ELT VALUE=%{GETVAL(CHAN(\"LEVEL\"))}%-->x</P></BODY></HTML>\n"},
    {"rows.html", "<HTML><BODY><TABLE><TR><!--$VX ELT ROWS=%{3}%--><TD>x</TD></TR></TABLE></BODY></HTML>\n"},
    {"cols.html", "<HTML><BODY><P><!--$VX ELT COLS=%{3}%-->x</P></BODY></HTML>\n"},
};

const cli_row rows[] = {
    // The program itself.
    {"no command", {}, 2, nothing, has("usage: quillet COMMAND [OPTIONS]", "  report   produce a report")},
    {"help", {"--help"}, 0, has("usage: quillet COMMAND [OPTIONS]", "  check    list the problems"), nothing},
    {"unknown command", {"frobnicate"}, 2, nothing,
     is("quillet: unknown command 'frobnicate'; 'quillet --help' lists the commands.\n")},
    {"version", {"--version"}, 0, is("quillet 0.1.0\n"), nothing},
    {"mistyped command", {"reprot", "t.html"}, 2, nothing,
     is("quillet: unknown command 'reprot'; did you mean 'report'? 'quillet --help' lists the commands.\n")},
    {"help of format", {"format", "--help"}, 0, has("usage: quillet format [--flags N] FILE [-o|--out OUT]\n"), nothing},
    {"help of eval", {"eval", "-h"}, 0, has("usage: quillet eval [--project FILE] [--time T]"), nothing},
    {"help of report", {"report", "--help"}, 0, has("usage: quillet report TEMPLATE [-o|--out DIR]", "--max-loop"),
     nothing},
    {"help of check", {"check", "--help"}, 0, has("usage: quillet check [--format text|json] TEMPLATE...\n"), nothing},
    // `edit` runs in another program, which gets the arguments as they were given.
    {"help of edit", {"edit", "--help"}, 0, has("usage: quillet edit [FILE]"), nothing},
    {"edit with a port that is not one", {"edit", "--port=x"}, 2, nothing,
     is("quillet edit: 'x' is not a port for --port (1 to 65535).\n")},
    {"help among other arguments", {"report", "t.html", "--bogus", "--help"}, 0, has("usage: quillet report"), nothing},

    // format
    {"format as read", {"format", "t.html"}, 0, is(plain_template), nothing},
    {"format with end tags", {"format", "--flags", "2", "open.html"}, 0,
     is("<HTML><HEAD>\r\n</HEAD>\r\n<BODY><P>a</P>\r\n<P>b &amp; c<UL><LI>x</LI>\r\n<LI>y</LI>\r\n</UL></P>\r\n"
        "</BODY></HTML>\r\n"),
     nothing},
    {"format into a file", {"format", "--flags", "2", "t.html", "-o", "o.html"}, 0, nothing, nothing,
     {{"o.html", "<P><!--$VX ELT VALUE=%{1+2}%-->x</P>"}}},
    {"format into a missing folder", {"format", "t.html", "-o", "no/o.html"}, 1, nothing,
     is("quillet format: cannot write 'no/o.html': No such file or directory.\n")},
    {"format flags not a number", {"format", "--flags", "x", "t.html"}, 2, nothing,
     is("quillet format: 'x' is not a valid flags value.\n")},
    {"format flags past 32 bits", {"format", "--flags", "4294967296", "t.html"}, 2, nothing,
     has("'4294967296' is not a valid flags value")},
    {"format flags without a value", {"format", "t.html", "--flags"}, 2, nothing,
     is("quillet format: --flags needs a value.\n")},
    {"format without a file", {"format"}, 2, nothing,
     is("quillet format: no FILE given; 'quillet format --help' shows the usage.\n")},
    {"format two files", {"format", "t.html", "open.html"}, 2, nothing,
     is("quillet format: only one FILE may be given ('open.html' is extra).\n")},
    {"format unknown option", {"format", "--flag", "2", "t.html"}, 2, nothing,
     is("quillet format: unknown option '--flag'; did you mean '--flags'?\n")},
    {"format missing file", {"format", "gone.html"}, 1, nothing,
     is("quillet format: cannot read 'gone.html': No such file or directory.\n")},
    {"format a folder", {"format", "."}, 1, nothing, is("quillet format: cannot read '.': it is a folder.\n")},
    {"format no document", {"format", "notes.txt"}, 1, nothing,
     is("quillet format: 'notes.txt' is not an HTML document: its first element is not <HTML>.\n")},

    {"format to standard output by -o -", {"format", "t.html", "-o", "-"}, 0, is(plain_template), nothing},
    {"format the standard input", {"format", "-"}, 1, nothing,
     is("quillet format: the standard input is not an HTML document: its first element is not <HTML>.\n")},

    // eval
    {"eval an expression after --", {"eval", "--", "--text"}, 2, nothing, is("Line 1: syntax error\n")},
    {"eval option with =", {"eval", "--time=0", "--var=a=2", "@a * 3"}, 0, is("6\n"), nothing},
    {"eval arithmetic", {"eval", "1+2"}, 0, is("3\n"), nothing},
    {"eval a string as source", {"eval", "FORMAT(\"%.2f\", SQRT(2))"}, 0, is("\"1.41\"\n"), nothing},
    {"eval as text", {"eval", "--text", "\"a\" + 1"}, 0, is("a1\n"), nothing},
    {"eval a vector", {"eval", "LIST(1, \"a\")"}, 0, is("LIST(1,\"a\")\n"), nothing},
    {"eval a negative number is no option", {"eval", "-1"}, 0, is("-1\n"), nothing},
    {"eval variables", {"eval", "--var", "a=2", "--var", "b=@a+1", "@b*@a"}, 0, is("6\n"), nothing},
    {"eval report time", {"eval", "--time", "1700000000", "TIMESTR(\"%Y-%m-%d %H:%M:%S\", TIME())"}, 0,
     is("\"2023-11-14 22:13:20\"\n"), nothing},
    {"eval local time", {"eval", "--time", "2026-01-02T03:04", "TIMESTR(\"%Y-%m-%d %H:%M:%S\", TIME())"}, 0,
     is("\"2026-01-02 03:04:00\"\n"), nothing},
    {"eval a channel of the demo project", {"eval", "--time", "0", "CHUNIT(CHAN(\"LEVEL\", 0, \"PUMPSTATION\"))"}, 0,
     is("\"m\"\n"), nothing},
    {"eval syntax error", {"eval", "1+"}, 2, nothing, is("Line 1: syntax error\n")},
    {"eval syntax error in a variable", {"eval", "--var", "a=1+", "@a"}, 2, nothing,
     is("variable a: Line 1: syntax error\n")},
    {"eval failed evaluation", {"eval", "NOSUCH(1)"}, 1, is("#UNK:NOSUCH:#\n"), nothing},
    {"eval bad time", {"eval", "--time", "noon", "1"}, 2, nothing, is("quillet eval: 'noon' is not a time for --time\n")},
    {"eval time without a value", {"eval", "1", "--time"}, 2, nothing, is("quillet eval: --time needs a value\n")},
    {"eval variable without a name", {"eval", "--var", "=1", "1"}, 2, nothing, is("quillet eval: --var needs NAME=EXPR\n")},
    {"eval two expressions", {"eval", "1", "2"}, 2, nothing,
     is("quillet eval: more than one expression given ('2')\n")},
    {"eval unknown option", {"eval", "--txt", "1"}, 2, nothing, is("quillet eval: unknown option '--txt'; did you mean '--text'?\n")},
    {"eval without an expression", {"eval"}, 2, nothing,
     is("quillet eval: no expression given; 'quillet eval --help' shows the usage\n")},
    {"eval missing project", {"eval", "--project", "gone.json", "1"}, 1, nothing,
     is("quillet eval: cannot load the project: gone.json: cannot be read: No such file or directory\n")},

    // report
    {"report into the current folder", {"report", "t.html", "--time", "0"}, 0, is("./t.htm\n"), nothing,
     {{"t.htm", "<BODY><P>3</P></BODY>"}}},
    {"report named", {"report", "t.html", "--out", "a/b", "--name", "n", "--ext", ".html", "--time", "0"}, 0,
     is("a/b/n.html\n"), nothing, {{"a/b/n.html", "<P>3</P>"}}},
    {"report with a trend image", {"report", "trend.html", "--out", "r", "--time", "1700000000"}, 0, is("r/trend.htm\n"),
     nothing, {{"r/trend.htm", "<IMG WIDTH=200 HEIGHT=100 SRC=\"trend_1.png\""}, {"r/trend_1.png", "\x89PNG"}}},
    // The report stays as the template makes it (the sample text of the expression that does
    // not compile included); the run says how many problems it met.
    {"report sums up its problems", {"report", "bad.html", "--time", "0"}, 0, is("./bad.htm\n"),
     is("quillet report: 3 problems: 2 compile errors, 1 evaluation error; --log lists them.\n"),
     {{"bad.htm", "<TD>72.5</TD><TD>#UNK:NOSUCH:#</TD>"}}},
    {"report logs its problems", {"report", "bad.html", "--log", "--time", "0"}, 0, is("./bad.htm\n"),
     is("bad.html:1:50: element 3 <TD>, property VALUE: Line 1: syntax error\n"
        "bad.html:1:88: unknown function: NOSUCH\n"
        "bad.html:1:88: compute error (VALUE): #UNK:NOSUCH:#\n"
        "quillet report: 3 problems: 2 compile errors, 1 evaluation error (listed above).\n"),
     {{"bad.htm", "<TD>72.5</TD><TD>#UNK:NOSUCH:#</TD>"}}},
    {"report strict with compile errors", {"report", "bad.html", "--strict", "--out", "r"}, 3, nothing,
     is("quillet report: 2 problems: 2 compile errors; --log lists them; no report was written (--strict).\n")},
    {"report strict with a failed evaluation", {"report", "loop.html", "--strict", "--max-loop", "10", "--time", "0"}, 3,
     nothing, has("quillet report: 1 problem: 1 evaluation error; --log lists them; no report was written (--strict).\n")},
    {"report strict without problems", {"report", "t.html", "--strict", "--time", "0"}, 0, is("./t.htm\n"), nothing,
     {{"t.htm", "<P>3</P>"}}},
    {"report loop bound", {"report", "loop.html", "--max-loop", "1000", "--time", "0"}, 0, is("./loop.htm\n"),
     is("quillet report: the expressions used up the limit of 1000 steps (--max-loop: loop iterations, "
        "user-function calls and READLIST lines together) with loop iterations; those that needed more show "
        "#LOOP#.\n"
        "quillet report: 1 problem: 1 evaluation error; --log lists them.\n"),
     {{"loop.htm", "<B>#LOOP#</B>"}}},
    {"report output bound", {"report", "t.html", "--max-output", "10", "--time", "0"}, 1, nothing,
     is("quillet report: the report passed the output limit of 10 bytes (--max-output); './t.htm' was not written.\n")},
    {"report template's project missing", {"report", "prj.html", "--time", "0"}, 0, is("./prj.htm\n"),
     is("quillet: the template's project ./gone.json does not exist; using the bundled demo project.\n"),
     {{"prj.htm", "<P>LEVEL</P>"}}},
    {"report missing project", {"report", "t.html", "--project", "gone.json"}, 1, nothing,
     is("quillet report: cannot load the project: gone.json: cannot be read: No such file or directory.\n")},
    {"report missing template", {"report", "gone.html"}, 1, nothing,
     is("quillet report: cannot read 'gone.html': No such file or directory.\n")},
    {"report no document", {"report", "notes.txt"}, 1, nothing,
     is("quillet report: 'notes.txt' is not an HTML document: its first element is not <HTML>.\n")},
    {"report into a file", {"report", "t.html", "--out", "notes.txt"}, 1, nothing,
     is("quillet report: cannot create the folder 'notes.txt': Not a directory.\n")},
    {"report bad time", {"report", "t.html", "--time", "noon"}, 2, nothing,
     is("quillet report: 'noon' is not a time for --time (seconds since 1970 or YYYY-MM-DDTHH:MM:SS).\n")},
    {"report impossible month", {"report", "t.html", "--time", "2026-13-45"}, 2, nothing,
     is("quillet report: '2026-13-45' is not a time for --time (month 13 is not from 1 to 12).\n")},
    {"report day past the month", {"report", "t.html", "--time", "2026-04-31"}, 2, nothing,
     has("(day 31 is not from 1 to 30)")},
    {"report leap day", {"report", "t.html", "--time", "2028-02-29T23:59:59"}, 0, is("./t.htm\n"), nothing,
     {{"t.htm", ""}}},
    {"report hour past the day", {"report", "t.html", "--time", "2026-01-01T24:00"}, 2, nothing,
     has("(hour 24 is not from 0 to 23)")},
    {"report seconds past 32 bits", {"report", "t.html", "--time", "4294967296"}, 2, nothing,
     has("(seconds past 4294967295)")},
    {"eval impossible second", {"eval", "--time", "2026-01-01T00:00:60", "1"}, 2, nothing,
     is("quillet eval: '2026-01-01T00:00:60' is not a time for --time: second 60 is not from 0 to 59\n")},
    {"report extension without a dot", {"report", "t.html", "--ext", "htm", "--time", "0"}, 0, is("./t.htm\n"), nothing,
     {{"t.htm", ""}}},
    {"report zero output bound", {"report", "t.html", "--max-output", "0"}, 2, nothing,
     is("quillet report: '0' is not a size for --max-output (bytes, suffix K, M or G).\n")},
    {"report negative loop bound", {"report", "t.html", "--max-loop", "-1"}, 2, nothing,
     is("quillet report: '-1' is not a count for --max-loop (up to 15 digits; 0: no bound).\n")},
    {"report name with a folder", {"report", "t.html", "--name", "a/b"}, 2, nothing,
     is("quillet report: 'a/b' is not a file name for --name.\n")},
    {"report extension with a folder", {"report", "t.html", "--ext", "/x"}, 2, nothing,
     has("'/x' is not a file name for --ext")},
    {"report -o and options with =", {"report", "-o", "r", "--time=0", "--name=n", "t.html"}, 0, is("r/n.htm\n"), nothing,
     {{"r/n.htm", "<P>3</P>"}}},
    {"report a template after --", {"report", "--time", "0", "--", "t.html"}, 0, is("./t.htm\n"), nothing,
     {{"t.htm", ""}}},
    {"report mistyped option", {"report", "t.html", "--otu", "r"}, 2, nothing,
     is("quillet report: unknown option '--otu'; did you mean '--out'?\n")},
    {"report unknown option", {"report", "t.html", "--verbose"}, 2, nothing,
     is("quillet report: unknown option '--verbose'.\n")},
    {"report two templates", {"report", "t.html", "open.html"}, 2, nothing,
     is("quillet report: only one TEMPLATE may be given ('open.html' is extra).\n")},
    {"report option without a value", {"report", "t.html", "--out"}, 2, nothing,
     is("quillet report: --out needs a value.\n")},
    {"report without a template", {"report", "--log"}, 2, nothing,
     is("quillet report: no TEMPLATE given; 'quillet report --help' shows the usage.\n")},

    // check: each problem after the line and column of the character it names.
    {"check a sound template", {"check", "t.html"}, 0, is("t.html: no problems found\n"), nothing},
    {"check element problems", {"check", "bad.html"}, 1,
     is("bad.html:1:50: error: element 3 <TD>, property VALUE: Line 1: syntax error\n"
        "bad.html:1:88: error: element 4 <TD>, property VALUE: unknown function: NOSUCH\n"),
     nothing},
    {"check recursive variables", {"check", "vars.html"}, 1,
     is("vars.html:1:40: error: variable a: recursive function: a\n"
        "vars.html:1:74: error: variable b: recursive function: b\n"),
     nothing},
    {"check missing template", {"check", "gone.html"}, 1, nothing,
     is("quillet check: cannot read 'gone.html': No such file or directory.\n")},
    {"check without a template", {"check"}, 2, nothing,
     is("quillet check: no TEMPLATE given; 'quillet check --help' shows the usage.\n")},
    {"check two templates", {"check", "t.html", "bad.html"}, 1,
     has("t.html: no problems found\n", "bad.html:1:50: error: element 3 <TD>, property VALUE: Line 1: syntax error\n"),
     nothing},
    {"check as JSON", {"check", "--format", "json", "bad.html"}, 1,
     has("\"column\": 50,", "\"line\": 1,", "\"severity\": \"error\","), nothing},
    {"check a rule with its hint", {"check", "rows.html"}, 1,
     is("rows.html:1:43: error: element 2 <TR>: ROWS on <TR> does not repeat the row\n"
        "    hint: ROWS belongs on a cell: put it on the first TD of the row\n"),
     nothing},
    {"check warnings only", {"check", "cols.html"}, 0, has("warning: element 1 <P>: COLS on <P> has no effect"), nothing},
    {"check the standard input", {"check", "-"}, 1, nothing,
     is("quillet check: the standard input is not an HTML document: its first element is not <HTML>.\n")},
    {"check a format it does not know", {"check", "--format", "xml", "t.html"}, 2, nothing,
     is("quillet check: --format needs 'text' or 'json'.\n")},
    {"check unknown option", {"check", "--strict", "t.html"}, 2, nothing,
     is("quillet check: unknown option '--strict'.\n")},

    // History stores.
    {"import with a bad row", {"import", "--store", "s.db", "rows.csv"}, 1, nothing,
     has("rows.csv:3: the value is not a number\n", "3 rows read, 2 samples and 0 events stored, 1 bad rows skipped"),
     {{"s.db", ""}}},
    {"import without a store", {"import", "rows.csv"}, 2, nothing, has("no --store given")},
    {"import demo plant backwards", {"import", "--store", "s.db", "--demo-plant", "--from", "2000", "--to", "1000"}, 2,
     nothing, has("--from must come before --to")},
    {"report from a missing store", {"report", "level.html", "--store", "sqlite:none.db"}, 1, nothing,
     has("cannot open the history store: cannot open the store none.db")},
    {"prune without a time", {"store", "prune", "--store", "s.db"}, 2, nothing, has("usage: quillet store prune")},
};

// Checks one stream: equal to the one text, or holding each piece.
void expect_text(const std::string& what, const std::string& got, const text_match& want) {
  if (want.exact) {
    EXPECT_EQ(got, want.pieces[0]) << what;
    return;
  }
  for (const std::string& piece : want.pieces)
    EXPECT_NE(got.find(piece), std::string::npos) << what << " lacks \"" << piece << "\" in:\n" << got;
}

// The files of `dir` that are not among the inputs.
std::vector<std::string> added_files(const std::string& dir) {
  std::vector<std::string> added;
  for (const std::string& f : files_under(dir))
    if (!inputs.count(f))
      added.push_back(f);
  return added;
}

// Checks that the run added exactly the files of `want`, each holding its piece of text.
void expect_left(const std::string& dir, const std::vector<left_file>& want) {
  std::vector<std::string> want_paths;
  for (const left_file& f : want)
    want_paths.push_back(f.path);
  EXPECT_EQ(added_files(dir), want_paths);
  for (const left_file& f : want)
    EXPECT_NE(file_text(dir + "/" + f.path).find(f.holds), std::string::npos) << f.path << " lacks " << f.holds;
}

// One scratch folder per row under a temporary root removed at the end.
class CommandLine : public testing::Test {
protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "quillet-cli-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string fresh_folder(int index) {
    std::string dir = root_ + "/" + std::to_string(index);
    fs::create_directory(dir);
    for (const auto& [name, text] : inputs)
      std::ofstream(dir + "/" + name, std::ios::binary) << text;
    return dir;
  }

  std::string root_;
};

TEST_F(CommandLine, EveryInvocationGivesItsCodeOutputAndFiles) {
  const std::vector<std::string> env = {"TZ=UTC", "LC_ALL=C",
                                        "QUILLET_DEMO_PROJECT=" QUILLET_TEST_DATA "/../../examples/demo_project.json"};
  int index = 0;
  for (const cli_row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string dir = fresh_folder(index++);
    program_result r = run_program(QUILLET_PROGRAM, row.args, dir, env);
    EXPECT_EQ(r.exit_code, row.exit_code);
    expect_text("stdout", r.out, row.out);
    expect_text("stderr", r.err, row.err);
    expect_left(dir, row.left);
  }
}

}  // namespace
}  // namespace quillet::test
