// Writes a deterministic report template of about the requested size: sections of headings,
// paragraphs with entities and links, nested tables, lists with omitted end tags, comments,
// directive comments, scripts and styles, with attributes quoted both ways and unquoted.
// Usage: gen_template OUT [BYTES] [SEED]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// splitmix64: a fixed generator, so one seed gives the same bytes on every machine.
struct rng {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
};

const char* const k_words[] = {"boiler", "pump",   "valve", "supply", "return", "level",
                               "flow",   "alarm",  "shift", "total",  "pressure", "setpoint",
                               "sensor", "trend",  "tank",  "motor",  "average", "maximum"};

class template_writer {
public:
  explicit template_writer(std::uint64_t seed) : r_{seed} {}
  std::string out;

  void words(unsigned n) {
    for (unsigned i = 0; i < n; ++i) {
      if (i)
        out += ' ';
      out += k_words[r_.below(sizeof k_words / sizeof *k_words)];
    }
  }
  std::string num(unsigned n) { return std::to_string(r_.below(n)); }

  void document_start() {
    out += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n<html>\r\n<head>\r\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
           "<title>Shift report</title>\r\n"
           "<style type=\"text/css\">td { padding: 1px } .hdr > b { color: #336699 }</style>\r\n"
           "<!--$VX DOC PRJ=\"plant.json\" REFRESH=60 -->\r\n</head>\r\n<body bgcolor=#FFFFFF>\r\n";
  }
  void document_end() { out += "</body>\r\n</html>\r\n"; }

  void paragraph(unsigned i) {
    out += "<p class=\"txt\" id=p" + std::to_string(i) + " align='left'>";
    words(7);
    out += " &amp; ";
    words(4);
    out += " <b>";
    words(2);
    out += "</b> <a href=\"report.htm?day=" + num(31) + "&amp;shift=" + num(3) + "\" title='";
    words(2);
    out += "'>";
    words(3);
    out += "</a><br>";
    words(5);
    out += " &lt;" + num(99) + "&gt; &#169; &eacute;</p>\r\n";
  }

  // A table of rows x 4 cells; the second cell of the first row holds a smaller table while
  // depth remains, so tables nest three deep.
  void table(unsigned depth) {
    out += "<table border=1 cellpadding=\"2\" cellspacing='0' width=\"100%\">\r\n";
    out += "<tr><th>Tag</th><th>Value</th><th>Unit</th><th>State</th></tr>\r\n";
    unsigned rows = depth ? 3 : 5;
    for (unsigned row = 0; row < rows; ++row) {
      out += "<tr class=r" + std::to_string(row % 2) + ">";
      for (unsigned cell = 0; cell < 4; ++cell) {
        out += "<td align=right style=\"width:" + std::to_string(10 + cell) + "%\">";
        if (depth && cell == 1 && row == 0)
          table(depth - 1);
        else
          words(2);
        out += "</td>";
      }
      out += "</tr>\r\n";
    }
    out += "</table>\r\n";
  }

  void list() {
    out += "<ul type=disc>\r\n";
    for (int i = 0; i < 4; ++i) {
      out += "<li>";
      words(3);
      out += "\r\n";
    }
    out += "</ul>\r\n";
  }

  void section(unsigned i) {
    std::string n = std::to_string(i);
    out += "<div class=section id=\"s" + n + "\">\r\n<!-- section " + n + ": ";
    words(4);
    out += " -->\r\n<h2>Section " + n + "</h2>\r\n";
    paragraph(2 * i);
    out += "<!--$VX ELT ID=\"v" + n + "\" VALUE=\"GETVAL('T_SUPPLY')\" -->\r\n";
    out += "<span id=v" + n + " class='value'>##.#</span>\r\n";
    paragraph(2 * i + 1);
    list();
    table(2);
    out += "<script language=\"JavaScript\">var v" + n + " = " + num(100) + "; if (v" + n +
           " < 50 && v" + n + " > 2) { document.title = \"a<b\"; }</script>\r\n";
    out += "<input type=checkbox checked name=cb" + n + "><img src=\"img/" + n +
           ".png\" width=32 height=32 alt='pump " + n + "'>\r\n</div>\r\n";
  }

private:
  rng r_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: gen_template OUT [BYTES] [SEED]\n";
    return 2;
  }
  std::size_t target = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 10'000'000;
  std::uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 20261207;
  template_writer w(seed);
  w.out.reserve(target + 4096);
  w.document_start();
  for (unsigned i = 0; w.out.size() < target; ++i)
    w.section(i);
  w.document_end();
  std::ofstream f(argv[1], std::ios::binary);
  f.write(w.out.data(), static_cast<std::streamsize>(w.out.size()));
  if (!f) {
    std::cerr << "gen_template: cannot write " << argv[1] << "\n";
    return 1;
  }
  std::cout << w.out.size() << "\n";
  return 0;
}
