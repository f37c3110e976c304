MODEL.01
Continental crust over a mantle half-space
ISOTROPIC
KGS
FLAT EARTH
1-D
CONSTANT VELOCITY
LINE08
LINE09
LINE10
LINE11
      H(KM)   VP(KM/S)   VS(KM/S) RHO(GM/CC)         QP         QS       ETAP       ETAS      FREFP      FREFS
     2.0000     4.5000     2.6000     2.5000   300.0000   150.0000     0.0000     0.0000     1.0000     1.0000
    13.0000     6.0000     3.5000     2.7000   500.0000   250.0000     0.0000     0.0000     1.0000     1.0000
    15.0000     6.6000     3.8000     2.9000   600.0000   300.0000     0.0000     0.0000     1.0000     1.0000
     0.0000     8.0000     4.5000     3.3000  1000.0000   500.0000     0.0000     0.0000     1.0000     1.0000
