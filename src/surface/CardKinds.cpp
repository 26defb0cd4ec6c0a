#include "surface/CardKinds.h"

#include "document/KindRegistry.h"
#include "effects/Gsshape.h"
#include "effects/gsstext.h"
#include "objects/Gbcshape.h"
#include "objects/Gimage.h"
#include "objects/Glines.h"
#include "objects/Glshapes.h"
#include "objects/Gplabel.h"
#include "objects/Gpmlabel.h"
#include "objects/Gprichl.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"

void RegisterCardObjectKinds()
{
    TObjectKindRegistry &registry = TObjectKindRegistry::Instance();
    registry.Register<TGLineShape>();
    registry.Register<TGImage>();
    registry.Register<TGLabelShapes>();
    registry.Register<TBCShapes>();
    registry.Register<TGPLabel>();
    registry.Register<TGBusinessCardLabel>();
    registry.Register<TGSymbolLabel>();
    registry.Register<TGMultiLineLabel>();
    registry.Register<TSuperShape>();
    registry.Register<TGPRichBaseLabel>();
    registry.Register<TGSuperText>();
}
