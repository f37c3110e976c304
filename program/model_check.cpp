#include "program/model_check.h"

#include <string>

#include "program/refusal.h"
#include "records/free_form.h"
#include "records/run_stop.h"

namespace vemlari {

namespace {

std::string program_name(const std::string& quantity) {
    if (quantity == "thickness") return "THK";
    if (quantity == "density") return "RHO";
    std::string s = quantity;
    for (char& c : s) c = static_cast<char>(c - 'a' + 'A');
    return s;
}

[[noreturn]] void half_space_stop(Streams& st, const char* line) {
    for (int u : {unit::console, unit::log}) {
        write_free(st, u, {" FROM SUBROUTINE INDAT :"});
        write_free(st, u, {line});
    }
    throw RunStop();
}

// The program takes no fluid layer: the first layer with vs = 0 is refused for its S velocity,
// as for any S velocity that is not positive, unless a rule checked before it breaks.
int first_fluid(const std::vector<Layer>& layers) {
    for (std::size_t i = 0; i < layers.size(); ++i)
        if (layers[i].vs == 0.0) return static_cast<int>(i + 1);
    return 0;
}

bool before_vs(const Error& e, int fluid) {
    if (e.layer() < 1 || e.layer() > fluid) return false;
    if (e.layer() < fluid) return true;
    return (e.rule() == Error::Rule::not_finite && e.quantity() != "vp") ||
           (e.rule() == Error::Rule::not_positive && e.quantity() == "density");
}

Model library_model(std::vector<Layer> layers) {
    const int fluid = first_fluid(layers);
    try {
        Model model(std::move(layers));
        if (fluid > 0) throw Error(Error::Rule::not_positive, "", fluid, "vs", 0.0);
        return model;
    } catch (const Error& e) {
        if (fluid > 0 && !before_vs(e, fluid)) throw Error(Error::Rule::not_positive, "", fluid, "vs", 0.0);
        throw;
    }
}

}  // namespace

Model check_model(Streams& st, std::vector<Layer> layers) {
    try {
        Model model = library_model(std::move(layers));
        check_half_space_fastest(model);
        return model;
    } catch (const Error& e) {
        const std::string n = "(" + std::to_string(e.layer()) + ")";
        const std::string q = program_name(e.quantity()) + n;
        switch (e.rule()) {
            case Error::Rule::not_finite:
                refuse(st, q + " must be a finite number");
            case Error::Rule::not_positive:
                refuse(st, q + " must be a positive finite number");
            case Error::Rule::vp_not_above_vs:
                refuse(st, "VP" + n + " must exceed VS" + n);
            case Error::Rule::not_a_solid:
                refuse(st, "VP" + n + "**2 must exceed 4/3 VS" + n + "**2");
            case Error::Rule::negative_thickness:
                refuse(st, "THK" + n + " must not be negative");
            case Error::Rule::out_of_range: {
                // "layer n: quantity = value <rule>": the rule, under the program's name.
                const std::string m = e.what();
                const std::size_t value = m.find(' ', m.find(" = ") + 3);
                refuse(st, q + " " + m.substr(value + 1));
            }
            case Error::Rule::half_space_vs:
                half_space_stop(st, " VS(NL).NE.VSMAX, THUS STOP !!!");
            case Error::Rule::half_space_vp:
                half_space_stop(st, " VP(NL).NE.VPMAX, THUS STOP !!!");
            default:
                refuse(st, e.what());
        }
    }
}

}  // namespace vemlari
