// Fixed texts of the PMML document: the PMML 4.0 namespace and schema, our
// vendor identity (the `extender` of every extension element and the name of
// the vendor element) and the header defaults a host may override.
#ifndef ZELCRAFT_PMML_ZELPMMLCONSTANTS_H_
#define ZELCRAFT_PMML_ZELPMMLCONSTANTS_H_

namespace ZelPMML {

constexpr char kPmmlVersion[] = "4.0";
constexpr char kPmmlNamespace[] = "http://www.dmg.org/PMML-4_0";
constexpr char kSchemaInstanceNamespace[] = "http://www.w3.org/2001/XMLSchema-instance";
constexpr char kSchemaFile[] = "pmml-4-0.xsd";

// Our domain marks every extension element as ours.
constexpr char kExtender[] = "zelcraft.dev";
constexpr char kVendorElement[] = "Zelcraft";

constexpr char kDefaultCopyright[] =
    "Copyright (c) 2026 Zelcraft contributors. All rights reserved.";
constexpr char kDefaultApplicationName[] = "Zelcraft";
constexpr char kDefaultApplicationVersion[] = "1.0";

}  // namespace ZelPMML

#endif  // ZELCRAFT_PMML_ZELPMMLCONSTANTS_H_
