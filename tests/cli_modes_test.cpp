// vemlari modes end to end: the dialogue's values on every example, the same rows from every
// model format (a byte-order mark or not) and from standard input, the same bytes on any number of threads, JSON
// holding what CSV holds, and a sphere's modes those of each wave's flat model.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/model_input.h"
#include "records/number_images.h"
#include "tests/cli_support.h"
#include "vemlari/vemlari.h"

namespace vemlari::testing {
namespace {

std::string golden(const std::string& tag, const std::string& file) {
    return read_file(std::filesystem::path(VEMLARI_SOURCE_DIR) / "tests/golden" / tag / file);
}

std::string image_E(int w, int d, double v) {
    std::string s;
    append_E(s, w, d, v);
    return s;
}

std::string trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' ');
    return a == std::string::npos ? std::string() : s.substr(a);
}

// One wave's table: [frequency index][mode] of each column, the frequencies those of any row.
std::vector<std::vector<std::vector<double>>> wave_table(const std::vector<std::string>& rows,
                                                         const std::string& wave) {
    std::map<double, std::map<int, std::vector<double>>> by_hz;
    for (const std::string& row : rows) {
        const std::vector<std::string> f = split(row, ',');
        std::vector<double> v;
        for (std::size_t i = 1; i < f.size(); ++i) v.push_back(f[i].empty() ? 0.0 : std::strtod(f[i].c_str(), nullptr));
        auto& at = by_hz[v[1]];
        if (f[0] == wave) at[static_cast<int>(v[0])] = v;
    }
    std::vector<std::vector<std::vector<double>>> t;
    for (auto& [hz, modes] : by_hz) {
        t.emplace_back();
        for (auto& [m, v] : modes) {
            EXPECT_EQ(m, static_cast<int>(t.back().size())) << "modes 0 .. n at every frequency";
            t.back().push_back(v);
        }
    }
    return t;
}

enum { c_phase = 2, c_group = 3, c_response = 5, c_hv = 6 };

struct Example {
    const char* tag;
    int partitions;
};

TEST(CliModes, ValuesAreThoseOfTheDialogueOnEveryExample) {
    for (const Example ex : {Example{"crust", 200}, Example{"two_layer", 200}, Example{"soil", 300},
                             Example{"low_velocity", 500}, Example{"halfspace", 200}}) {
        SCOPED_TRACE(ex.tag);
        const std::string tag = ex.tag;
        const CliRun r =
            run_cli(scratch_dir("cli-modes"),
                    "modes " + example(tag + ".csv") + " --search scan --partitions " + std::to_string(ex.partitions));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "") << "no progress line when standard error is no terminal";
        const std::vector<std::string> rows = rows_by_model(r.out).begin()->second;
        for (const std::string wave : {"love", "rayleigh"}) {
            SCOPED_TRACE(wave);
            const bool love = wave == "love";
            const auto t = wave_table(rows, wave);
            const std::vector<std::string> counts = split(golden(tag, love ? "mdl_dat" : "mdr_dat"), '\n');
            const std::size_t n = counts.size() - 1;
            ASSERT_EQ(t.size(), n);
            if (love && tag == "halfspace") {
                for (const auto& at : t) EXPECT_TRUE(at.empty()) << "no Love mode on a lone half-space";
                continue;
            }
            const std::vector<std::string> c = split(golden(tag, love ? "phsl1_dat" : "phsr1_dat"), '\n');
            const std::vector<std::string> u = split(golden(tag, love ? "grpl_dat" : "grpr_dat"), '\n');
            const std::vector<std::string> res = split(golden(tag, love ? "Lmedres.csv" : "Rmedres.csv"), '\n');
            const std::vector<std::string> hv = split(golden(tag, "HoverV.csv"), '\n');
            std::size_t line = 0;
            for (std::size_t k = 0; k < n; ++k) {
                ASSERT_EQ(t[k].size(), static_cast<std::size_t>(std::atoi(counts[k].c_str()) + 1)) << "frequency " << k;
                const std::vector<std::string> res_row = split(res[k + 1], ',');
                const std::vector<std::string> hv_row = split(hv[k + 1], ',');
                for (std::size_t m = 0; m < t[k].size(); ++m) {
                    const std::vector<double>& v = t[k][m];
                    EXPECT_EQ(image_E(15, 7, v[c_phase]), c.at(line++)) << k << " " << m;
                    if (m + 2 >= res_row.size()) continue;  // the files hold the modes of the last frequency
                    EXPECT_EQ(image_E(15, 7, v[c_group]), u.at(m * n + k)) << k << " " << m;
                    EXPECT_EQ(trimmed(image_E(12, 4, v[c_response])), trimmed(res_row[m + 1])) << k << " " << m;
                    if (!love) {
                        EXPECT_EQ(trimmed(image_E(12, 4, v[c_hv])), trimmed(hv_row[m + 1])) << k << " " << m;
                    }
                }
            }
            EXPECT_EQ(line + 1, c.size());
        }
    }
}

// The same three models as program files, as model96 and as one list of models.
const std::string same_models = example("crust.csv") + " " + example("two_layer.csv") + " " +
                                example("low_velocity.csv") + " " + example("formats/crust.csv") + " " +
                                example("formats/crust.mod") + " " + example("formats/models.txt") +
                                " --frequencies 0.05,0.2,0.9 --modes 3";

TEST(CliModes, EveryFormatOfAModelGivesItsRows) {
    const CliRun r = run_cli(scratch_dir("cli-formats"), "modes " + same_models);
    ASSERT_EQ(r.status, 0) << r.err;
    auto rows = rows_by_model(r.out);
    const std::string e = (examples_dir()).string() + "/";
    ASSERT_FALSE(rows[e + "crust.csv"].empty());
    EXPECT_EQ(rows[e + "formats/crust.csv"], rows[e + "crust.csv"]);
    EXPECT_EQ(rows[e + "formats/crust.mod"], rows[e + "crust.csv"]);
    EXPECT_EQ(rows[e + "formats/models.txt#1"], rows[e + "crust.csv"]);
    EXPECT_EQ(rows[e + "formats/models.txt#2"], rows[e + "two_layer.csv"]);
    EXPECT_EQ(rows[e + "formats/models.txt#3"], rows[e + "low_velocity.csv"]);
    EXPECT_EQ(rows.size(), 8u);

    const CliRun piped = run_cli(scratch_dir("cli-stdin"), "modes - --frequencies 0.05,0.2,0.9 --modes 3",
                                 (examples_dir() / "formats/models.txt").string());
    ASSERT_EQ(piped.status, 0) << piped.err;
    auto from_stdin = rows_by_model(piped.out);
    EXPECT_EQ(from_stdin.size(), 3u);
    for (const char* k : {"#1", "#2", "#3"})
        EXPECT_EQ(from_stdin[std::string("stdin") + k], rows[e + "formats/models.txt" + k]);

    // A UTF-8 byte-order mark before the first line changes nothing.
    const auto bom = scratch_dir("cli-bom");
    for (const char* f : {"crust.mod", "models.txt"})
        write_file(bom / f, "\xEF\xBB\xBF" + read_file(examples_dir() / "formats" / f));
    const CliRun marked = run_cli(bom, "modes crust.mod models.txt --frequencies 0.05,0.2,0.9 --modes 3");
    ASSERT_EQ(marked.status, 0) << marked.err;
    auto marked_rows = rows_by_model(marked.out);
    EXPECT_EQ(marked_rows["crust.mod"], rows[e + "crust.csv"]);
    EXPECT_EQ(marked_rows["models.txt#1"], rows[e + "crust.csv"]);

    // The program file's own grid, whatever its separators.
    const CliRun own =
        run_cli(scratch_dir("cli-grid"), "modes " + example("crust.csv") + " " + example("formats/crust.csv"));
    auto grid_rows = rows_by_model(own.out);
    EXPECT_EQ(grid_rows[e + "formats/crust.csv"], grid_rows[e + "crust.csv"]);
}

TEST(CliModes, TheThreadCountChangesNoByte) {
    const auto dir = scratch_dir("cli-threads");
    const CliRun one = run_cli(dir, "modes " + same_models + " --threads 1");
    ASSERT_EQ(one.status, 0) << one.err;
    for (const char* threads : {"2", "5"}) {
        EXPECT_EQ(run_cli(dir, "modes " + same_models + " --threads " + threads).out, one.out) << threads;
        const CliRun alone = run_cli(dir, "modes " + example("soil.csv") + " --modes 4 --threads " + threads);
        EXPECT_EQ(alone.out, run_cli(dir, "modes " + example("soil.csv") + " --modes 4 --threads 1").out) << threads;
    }
}

// A small reader of the JSON the table writes: values as their texts, null as "".
struct Json {
    const std::string& s;
    std::size_t p = 0;
    void blank() {
        while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
    }
    bool take(char c) {
        blank();
        if (p >= s.size() || s[p] != c) return false;
        ++p;
        return true;
    }
    std::string scalar() {
        blank();
        std::size_t start = p;
        if (s[p] == '"') {
            while (s[++p] != '"') p += s[p] == '\\';
            return s.substr(start + 1, p++ - start - 1);
        }
        while (p < s.size() && s[p] != ',' && s[p] != ']' && s[p] != '}' &&
               !std::isspace(static_cast<unsigned char>(s[p])))
            ++p;
        const std::string t = s.substr(start, p - start);
        return t == "null" ? "" : t;
    }
};

TEST(CliModes, JsonHoldsTheValuesOfTheCsv) {
    const auto dir = scratch_dir("cli-json");
    const std::string args =
        "modes " + example("formats/models.txt") + " " + example("halfspace.csv") + " --frequencies 0,0.3,1 --modes 2";
    const CliRun csv = run_cli(dir, args);
    const CliRun json = run_cli(dir, args + " --format json");
    ASSERT_EQ(json.status, 0) << json.err;
    // The CSV rebuilt from the JSON objects, one per model and wave.
    std::string rebuilt;
    Json in{json.out};
    ASSERT_TRUE(in.take('['));
    do {
        ASSERT_TRUE(in.take('{'));
        std::vector<std::string> keys;
        std::vector<std::vector<std::string>> values;
        do {
            keys.push_back(in.scalar());
            ASSERT_TRUE(in.take(':'));
            values.emplace_back();
            if (in.take('[')) {
                if (!in.take(']')) {
                    do values.back().push_back(in.scalar());
                    while (in.take(','));
                    ASSERT_TRUE(in.take(']'));
                }
            } else {
                values.back().push_back(in.scalar());
            }
        } while (in.take(','));
        ASSERT_TRUE(in.take('}'));
        if (rebuilt.empty()) {
            for (const std::string& k : keys) rebuilt += (rebuilt.empty() ? "" : ",") + k;
            rebuilt += "\n";
        }
        for (std::size_t row = 0; row < values[2].size(); ++row) {
            rebuilt += values[0][0] + "," + values[1][0];
            for (std::size_t c = 2; c < keys.size(); ++c) {
                rebuilt += ',';
                if (values[c].size() > row) rebuilt += values[c][row];
            }
            rebuilt += "\n";
        }
    } while (in.take(','));
    EXPECT_TRUE(in.take(']'));
    EXPECT_EQ(rebuilt, csv.out);
}

TEST(CliModes, PeriodsAndTheRowFormatsHoldTheValuesOfTheCsv) {
    const auto dir = scratch_dir("cli-rows");
    const std::string models = " " + example("formats/models.txt") + " " + example("halfspace.csv") + " --modes 2";
    const CliRun csv = run_cli(dir, "modes" + models + " --frequencies 0.1,0.2,0.5");
    ASSERT_EQ(csv.status, 0) << csv.err;
    // 1 / T is the double nearest to the frequency's decimal for these periods.
    EXPECT_EQ(run_cli(dir, "modes" + models + " --periods 5,10,2").out, csv.out);
    for (const char* format : {"records", "jsonl"}) {
        const CliRun rows = run_cli(dir, "modes" + models + " --frequencies 0.1,0.2,0.5 --format " + format);
        ASSERT_EQ(rows.status, 0) << rows.err;
        // The CSV rebuilt from one object per row: "model" is the file, with "#index" in a list.
        std::string rebuilt = csv.out.substr(0, csv.out.find('\n') + 1);
        Json in{rows.out};
        const bool array = std::string(format) == "records";
        if (array) {
            ASSERT_TRUE(in.take('['));
        }
        while (in.take('{')) {
            std::vector<std::string> values;
            do {
                in.scalar();
                ASSERT_TRUE(in.take(':'));
                values.push_back(in.scalar());
            } while (in.take(','));
            ASSERT_TRUE(in.take('}'));
            rebuilt += values[0] + (values[0].ends_with("models.txt") ? "#" + values[1] : "");
            for (std::size_t c = 2; c < values.size(); ++c) rebuilt += "," + values[c];
            rebuilt += "\n";
            if (array && !in.take(',')) break;
        }
        if (array) {
            EXPECT_TRUE(in.take(']'));
        }
        EXPECT_EQ(rebuilt, csv.out) << format;
    }
}

TEST(CliModes, OnlyModesGivesThoseModesRowsOfTheFullTable) {
    const auto dir = scratch_dir("cli-only");
    const std::string args = "modes " + example("crust.csv") + " --frequencies 0.2,0.5,1 --wave love";
    const CliRun full = run_cli(dir, args), only = run_cli(dir, args + " --only-modes 3,1");
    ASSERT_EQ(only.status, 0) << only.err;
    std::vector<std::string> wanted, got = split(only.out, '\n');
    for (const std::string& line : split(full.out, '\n')) {
        const std::vector<std::string> f = split(line, ',');
        if (f.size() > 2 && (f[2] == "1" || f[2] == "3")) wanted.push_back(f[2] + "," + f[3]);
    }
    got.erase(got.begin());  // the header
    if (!got.empty() && got.back().empty()) got.pop_back();
    ASSERT_EQ(got.size(), wanted.size());
    // Mode numbers and frequencies row for row; the velocities are refined from brackets of their own.
    for (std::size_t i = 0; i < got.size(); ++i) {
        const std::vector<std::string> f = split(got[i], ',');
        EXPECT_EQ(f[2] + "," + f[3], wanted[i]);
    }
}

// The upper-mantle example on the Earth at 200 and 20 s: each wave's modes are those of its
// own flat model (the density exponents differ), and kernels and eigenfunctions run there.
TEST(CliModes, OnASphereEachWaveIsThatOfItsFlatModel) {
    const std::string file = (examples_dir() / "earth" / "upper_mantle.txt").string();
    const Model model = *cli::read_models(file, std::cin).at(0).model;
    const auto dir = scratch_dir("cli-sphere");
    const std::string args = example("earth/upper_mantle.txt") + " --spherical --frequencies 0.005,0.05 --modes 0";
    const CliRun m = run_cli(dir, "modes " + args);
    ASSERT_EQ(m.status, 0) << m.err;
    const std::vector<std::string> rows = rows_by_model(m.out).at(file);
    ASSERT_EQ(rows.size(), 4u);
    for (const std::string& row : rows) {
        const std::vector<std::string> x = split(row, ',');
        const Wave w = x[0] == "love" ? Wave::love : Wave::rayleigh;
        SearchOptions o;
        o.love = w == Wave::love;
        o.rayleigh = !o.love;
        o.highest_mode = 0;
        const Modes flat = find_modes(flatten(model, w).model, Frequencies::hertz({0.005, 0.05}), o);
        const std::size_t k = x[2] == "0.005" ? 0 : 1;
        EXPECT_EQ(std::strtod(x[3].c_str(), nullptr), flat[w].phase_velocity[k][0]) << row;
    }
    const CliRun k = run_cli(dir, "kernels " + args);
    ASSERT_EQ(k.status, 0) << k.err;
    EXPECT_EQ(rows_by_model(k.out).at(file).size(), 4 * model.size());
    const CliRun e =
        run_cli(dir, "eigen " + example("earth/upper_mantle.txt") +
                         " --spherical --radius 6371000 --frequency 0.01 --mode 0 --depth 400000 --points 5");
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(rows_by_model(e.out).at(file).size(), 10u);
    EXPECT_NE(run_cli(dir, "modes " + example("earth/upper_mantle.txt") + " --radius 6e6").status, 0);
}

// Layer lines of nine numbers are radially anisotropic layers (vpv vsv rho qs qp vph vsh eta):
// the rows hold the library's modes of that model.
TEST(CliModes, NineNumberListLinesAreRadiallyAnisotropicLayers) {
    const CliRun r = run_cli(scratch_dir("cli-vti"), "modes " + example("formats/upper_mantle_vti.txt") +
                                                         " --frequencies 0.005,0.05 --highest-mode 0");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<Layer> layers;
    bool count_line = true;
    for (const std::string& line : split(read_file(examples_dir() / "formats/upper_mantle_vti.txt"), '\n')) {
        std::istringstream in(line);
        std::vector<double> x;
        for (double v; in >> v;) x.push_back(v);
        if (x.empty() || line[0] == '#' || std::exchange(count_line, false)) continue;
        Layer l{x[0], x[1], x[2], x[3]};
        if (x.size() == 9) {
            l.vph = x[6];
            l.vsh = x[7];
            l.eta = x[8];
        }
        layers.push_back(l);
    }
    const Model model(layers);
    ASSERT_TRUE(model.transversely_isotropic());
    SearchOptions o;
    o.highest_mode = 0;
    const Modes m = find_modes(model, Frequencies::hertz({0.005, 0.05}), o);
    const std::vector<std::string> rows =
        rows_by_model(r.out)[(examples_dir() / "formats/upper_mantle_vti.txt").string()];
    ASSERT_EQ(rows.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const std::vector<std::string> v = split(rows[i], ',');
        const WaveModes& w = i < 2 ? m.love : m.rayleigh;
        EXPECT_EQ(v[0], i < 2 ? "love" : "rayleigh");
        EXPECT_EQ(std::stod(v[3]), w.phase_velocity[i % 2][0]);
        EXPECT_TRUE(std::isfinite(std::stod(v[4])));  // group velocity
    }
    // The kernels command: the Love fundamental's dc/dvsh in its last columns but two.
    const CliRun k = run_cli(scratch_dir("cli-vti"), "kernels " + example("formats/upper_mantle_vti.txt") +
                                                         " --frequencies 0.05 --highest-mode 0 --wave love");
    ASSERT_EQ(k.status, 0) << k.err;
    o.rayleigh = false;
    const ModeKernels g = sensitivity_kernels(model, find_modes(model, Frequencies::hertz({0.05}), o)).love.modes[0][0];
    const std::vector<std::string> lines =
        rows_by_model(k.out)[(examples_dir() / "formats/upper_mantle_vti.txt").string()];
    ASSERT_EQ(lines.size(), layers.size());
    for (std::size_t j = 0; j < lines.size(); ++j) {
        const std::vector<std::string> v = split(lines[j], ',');
        EXPECT_EQ(std::stod(v.at(v.size() - 3)), g.dc_dvsh[j]);
    }
}

}  // namespace
}  // namespace vemlari::testing
