// Models and their structure: descriptors, solids, family tables, features,
// parameters and export instructions. The host implements the abstract classes;
// descriptors and export instructions are plain data, as in the toolkit.
#pragma once

#include "host/xobject.h"

enum pfcModelType {
  pfcMDL_ASSEMBLY = 0,
  pfcMDL_PART = 1,
  pfcMDL_DRAWING = 2,
  pfcMDL_2D_SECTION = 3,
  pfcMDL_LAYOUT = 4,
  pfcMDL_DWG_FORMAT = 5,
  pfcMDL_MFG = 6,
  pfcMDL_REPORT = 7,
  pfcMDL_MARKUP = 8,
  pfcMDL_DIAGRAM = 9,
};

enum pfcFeatureType { pfcFEATTYPE_COMPONENT = 0, pfcFEATTYPE_OTHER = 1 };

enum pfcFeatureStatus {
  pfcFEAT_ACTIVE = 0,
  pfcFEAT_INACTIVE = 1,
  pfcFEAT_FAMILY_TABLE_SUPPRESSED = 2,
  pfcFEAT_SIMP_REP_SUPPRESSED = 3,
  pfcFEAT_PROGRAM_SUPPRESSED = 4,
  pfcFEAT_SUPPRESSED = 5,
  pfcFEAT_UNREGENERATED = 6,
};

// 0 is the master representation.
enum pfcSimpRepType { pfcSIMPREP_MASTER_REP = 0, pfcSIMPREP_GRAPHICS_REP = 1, pfcSIMPREP_USER_DEFINED = 2 };

enum pfcParamValueType { pfcPARAM_STRING = 0, pfcPARAM_INTEGER = 1, pfcPARAM_BOOLEAN = 2, pfcPARAM_DOUBLE = 3 };

// Names a model: its type, instance and generic names, and where it lives.
class pfcModelDescriptor : public virtual xobject {
 public:
  pfcModelDescriptor(pfcModelType type, xrstring instanceName, xrstring genericName = xstringnil)
      : type_(type), instanceName_(instanceName), genericName_(genericName) {}
  static xrcptr<pfcModelDescriptor> Create(pfcModelType type, xrstring instanceName,
                                           xrstring genericName = xstringnil) {
    return new pfcModelDescriptor(type, instanceName, genericName);
  }

  pfcModelType GetType() const { return type_; }
  xrstring GetInstanceName() const { return instanceName_; }
  xrstring GetGenericName() const { return genericName_; }
  // The directory the model is read from or, for Backup, written to.
  xrstring GetPath() const { return path_; }
  void SetPath(xrstring path) { path_ = path; }

 private:
  pfcModelType type_;
  xstring instanceName_;
  xstring genericName_;
  xstring path_;
};
using pfcModelDescriptor_ptr = xrcptr<pfcModelDescriptor>;

class pfcParamValue : public virtual xobject {
 public:
  virtual pfcParamValueType Getdiscr() const = 0;
  virtual xstring GetStringValue() const = 0;
};
using pfcParamValue_ptr = xrcptr<pfcParamValue>;

class pfcBaseParameter : public virtual xobject {
 public:
  // Null when the parameter has no value.
  virtual pfcParamValue_ptr GetValue() = 0;
};
class pfcParameter : public virtual pfcBaseParameter {
 public:
  TAVIX_TOOLKIT_CAST(pfcParameter)
};
using pfcParameter_ptr = xrcptr<pfcParameter>;

class pfcParameterOwner : public virtual xobject {
 public:
  // Null when the owner has no parameter of that name.
  virtual pfcParameter_ptr GetParam(xrstring name) = 0;
};

enum pfcPDFOptionType { pfcPDFOPT_FONT_STROKE = 0, pfcPDFOPT_COLOR_DEPTH = 1, pfcPDFOPT_LAUNCH_VIEWER = 2 };
// Stroking all fonts is the toolkit's value 0.
enum pfcPDFFontStrokeMode { pfcPDF_STROKE_ALL_FONTS = 0, pfcPDF_USE_TRUE_TYPE_FONTS = 1 };
enum pfcPDFColorDepth { pfcPDF_CD_COLOR = 0, pfcPDF_CD_GRAY = 1, pfcPDF_CD_MONO = 2 };

// An argument value made by the toolkit's integer or boolean factory.
class pfcArgValue : public virtual xobject {
 public:
  enum class Kind { Integer, Boolean };
  pfcArgValue(Kind kind, xint integer, xbool boolean) : kind_(kind), integer_(integer), boolean_(boolean) {}
  Kind GetKind() const { return kind_; }
  xint GetIntValue() const { return integer_; }
  xbool GetBoolValue() const { return boolean_; }

 private:
  Kind kind_;
  xint integer_;
  xbool boolean_;
};
using pfcArgValue_ptr = xrcptr<pfcArgValue>;
inline pfcArgValue_ptr pfcCreateIntArgValue(xint value) {
  return new pfcArgValue(pfcArgValue::Kind::Integer, value, false);
}
inline pfcArgValue_ptr pfcCreateBoolArgValue(xbool value) {
  return new pfcArgValue(pfcArgValue::Kind::Boolean, 0, value);
}

class pfcPDFOption : public virtual xobject {
 public:
  static xrcptr<pfcPDFOption> Create() { return new pfcPDFOption; }
  pfcPDFOptionType GetOptionType() const { return type_; }
  void SetOptionType(pfcPDFOptionType type) { type_ = type; }
  pfcArgValue_ptr GetOptionValue() const { return value_; }
  void SetOptionValue(const pfcArgValue_ptr& value) { value_ = value; }

 private:
  pfcPDFOptionType type_ = pfcPDFOPT_FONT_STROKE;
  pfcArgValue_ptr value_;
};
using pfcPDFOption_ptr = xrcptr<pfcPDFOption>;
using pfcPDFOptions = xsequence<pfcPDFOption_ptr>;
using pfcPDFOptions_ptr = xrcptr<pfcPDFOptions>;

class pfcExportInstructions : public virtual xobject {};
using pfcExportInstructions_ptr = xrcptr<pfcExportInstructions>;

class pfcPDFExportInstructions : public pfcExportInstructions {
 public:
  static xrcptr<pfcPDFExportInstructions> Create() { return new pfcPDFExportInstructions; }
  xrstring GetFilePath() const { return filePath_; }
  void SetFilePath(xrstring path) { filePath_ = path; }
  pfcPDFOptions_ptr GetOptions() const { return options_; }
  void SetOptions(const pfcPDFOptions_ptr& options) { options_ = options; }
  TAVIX_TOOLKIT_CAST(pfcPDFExportInstructions)

 private:
  xstring filePath_;
  pfcPDFOptions_ptr options_;
};
using pfcPDFExportInstructions_ptr = xrcptr<pfcPDFExportInstructions>;

class pfcModel : public virtual pfcParameterOwner {
 public:
  virtual pfcModelType GetType() = 0;
  // The file name with extension, without version suffix, e.g. "bracket.prt".
  virtual xstring GetFileName() = 0;
  // Where the model was retrieved from: a file path (version suffix included),
  // a "wtws://" or "wtpub://" Windchill address, or empty for a new model.
  virtual xstring GetOrigin() = 0;
  virtual xstring GetInstanceName() = 0;
  virtual xbool GetIsModified() = 0;
  virtual xstring GetVersionStamp() = 0;
  virtual xstring GetRevision() = 0;
  virtual xstring GetVersion() = 0;
  virtual pfcModelDescriptor_ptr GetDescr() = 0;
  // Writes the model's file under its next version suffix into the descriptor's
  // path; for an instance that is its generic's file, plus the instance's
  // accelerator (".xpr", ".xas") when "save_instance_accelerator" is "ALWAYS".
  // Throws pfcXToolkitInvalidDir for a path that is not a directory,
  // pfcXToolkitNoPermission or pfcXToolkitCantWrite when it cannot write there.
  virtual void Backup(const pfcModelDescriptor_ptr& newDescr) = 0;
  // With pfcPDFExportInstructions: writes a drawing as a PDF at exactly fileName,
  // one page per sheet. Throws pfcXToolkitUnsupported for other instructions, an
  // option or value it does not support, or a model that is not a drawing;
  // pfcXToolkitNotDisplayed when the drawing is not shown in the active window;
  // pfcXToolkitNoPermission or pfcXToolkitCantWrite when it cannot write there.
  virtual void Export(xrstring fileName, const pfcExportInstructions_ptr& exportData) = 0;
  TAVIX_TOOLKIT_CAST(pfcModel)
};
using pfcModel_ptr = xrcptr<pfcModel>;
using pfcModels = xsequence<pfcModel_ptr>;
using pfcModels_ptr = xrcptr<pfcModels>;

class pfcFamilyTableRow : public virtual xobject {
 public:
  virtual xstring GetInstanceName() = 0;
};
using pfcFamilyTableRow_ptr = xrcptr<pfcFamilyTableRow>;
using pfcFamilyTableRows = xsequence<pfcFamilyTableRow_ptr>;
using pfcFamilyTableRows_ptr = xrcptr<pfcFamilyTableRows>;

class pfcFamilyMember;
using pfcFamilyMember_ptr = xrcptr<pfcFamilyMember>;
class pfcFamilyMember : public virtual xobject {
 public:
  // The immediate generic of an instance; null for a model that is not an instance.
  virtual pfcModelDescriptor_ptr GetImmediateGenericInfo() = 0;
  // The rows of a generic's family table; empty for a model without one.
  virtual pfcFamilyTableRows_ptr ListRows() = 0;
  // The generic model of an instance, loaded from its file when needed.
  virtual pfcFamilyMember_ptr GetParent() = 0;
  TAVIX_TOOLKIT_CAST(pfcFamilyMember)
};

class pfcFeature : public virtual xobject {
 public:
  virtual pfcFeatureType GetFeatType() = 0;
  virtual pfcFeatureStatus GetStatus() = 0;
  virtual xint GetId() = 0;
  TAVIX_TOOLKIT_CAST(pfcFeature)
};
using pfcFeature_ptr = xrcptr<pfcFeature>;
using pfcFeatures = xsequence<pfcFeature_ptr>;
using pfcFeatures_ptr = xrcptr<pfcFeatures>;

// A plain base: nothing else derives from pfcFeature, and the cast from a
// feature, made once per component of every assembly, stays a short walk.
class pfcComponentFeat : public pfcFeature {
 public:
  virtual pfcModelDescriptor_ptr GetModelDescr() = 0;
  TAVIX_TOOLKIT_CAST(pfcComponentFeat)
};
using pfcComponentFeat_ptr = xrcptr<pfcComponentFeat>;

class pfcSimpRep : public virtual xobject {
 public:
  virtual pfcSimpRepType GetSimpRepType() = 0;
};
using pfcSimpRep_ptr = xrcptr<pfcSimpRep>;

class pfcSolid : public virtual pfcModel, public virtual pfcFamilyMember {
 public:
  virtual pfcFeatures_ptr ListFeaturesByType(xbool visibleOnly, pfcFeatureType type) = 0;
  // Null when no representation is active (the master is shown).
  virtual pfcSimpRep_ptr GetActiveSimpRep() = 0;
  TAVIX_TOOLKIT_CAST(pfcSolid)
};
using pfcSolid_ptr = xrcptr<pfcSolid>;

class pfcAssembly : public virtual pfcSolid {
 public:
  TAVIX_TOOLKIT_CAST(pfcAssembly)
};

class wfcWModel : public virtual pfcModel {
 public:
  TAVIX_TOOLKIT_CAST(wfcWModel)
};
using wfcWModel_ptr = xrcptr<wfcWModel>;

class wfcWSolid : public virtual pfcSolid, public virtual wfcWModel {
 public:
  TAVIX_TOOLKIT_CAST(wfcWSolid)
};

class wfcWAssembly : public virtual pfcAssembly, public virtual wfcWSolid {
 public:
  TAVIX_TOOLKIT_CAST(wfcWAssembly)
};
using wfcWAssembly_ptr = xrcptr<wfcWAssembly>;

// The C toolkit's part used beside the Object TOOLKIT: a model handle found by
// its name and file type, the model-item record {type, id, owner} of a
// component, and the embedded-component query on that record.
enum ProError { PRO_TK_NO_ERROR = 0, PRO_TK_GENERAL_ERROR = -1, PRO_TK_BAD_INPUTS = -2, PRO_TK_E_NOT_FOUND = -4 };
enum ProBoolean { PRO_B_FALSE = 0, PRO_B_TRUE = 1 };
enum ProType { PRO_TYPE_UNUSED = -1, PRO_FEATURE };
enum ProMdlfileType { PRO_MDLFILE_UNUSED = 0, PRO_MDLFILE_ASSEMBLY, PRO_MDLFILE_PART, PRO_MDLFILE_DRAWING };
typedef struct sMdl* ProMdl;
#define PRO_MDLNAME_SIZE 80
typedef wchar_t ProMdlName[PRO_MDLNAME_SIZE];
struct ProModelitem {
  ProType type;
  int id;
  ProMdl owner;
};
typedef ProModelitem ProAsmcomp;
ProError ProMdlnameInit(ProMdlName name, ProMdlfileType type, ProMdl* model);
ProError ProAsmcompIsEmbedded(ProAsmcomp* component, ProBoolean* isEmbedded);
