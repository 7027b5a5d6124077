#include "platform/file_system.h"
#include "platform/lib_data.h"
#include "platform/lib_files.h"
#include "platform/screen/console.h"
#include "platform/screen/kit.h"
#include "platform/table/table_functions.h"
#include "platform/table/work_area.h"
#include "instal/run_variables.h"
#include "instal/sequence.h"
#include "tools/copy_mode.h"

namespace qaro {

namespace {
std::string upper_param(const std::optional<std::string>& p) { return p ? upper(*p) : std::string(); }
}  // namespace

int MAIN(const Params& params) {
    // Start-up window of the suite's console.
    variables().set("VorEkran", Value(true), Scope::Public);
    console().set_title("System QaroVORANTA - program instalacyjny");

    RunState st;
    variables().set("GetList", Value(Array{}));
    run::declare();
    CMXAUTOOPEN(false);
    work_areas().set_hide_deleted(true);
    set_cursor(false);

    E_CRC_TBL();
    K_ZMIEN_PALETE();
    K_SET_ZESTAW(38);
    K_CLEAR(1);
    DAJ_WZORZEC(Value(), Value(""));

    st.second = upper_param(params[0]) == "SECOND";
    if (upper_param(params[0]) == "KOPEXE") {
        KOPEXEKI(params[4].value_or(""), params[2].value_or(""), params[5].value_or(""));
        return 0;
    }
    run::set("__POMIN__", Value(false));
    run::set("_kat_inst", Value(DISKNAME() + ":" + E_DIRNAME()));
    st.flop = params[1];
    return run_installation(params, st);
}

}  // namespace qaro
