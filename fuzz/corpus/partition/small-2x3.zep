*Partition two by three
*vertices 5 2 3
 1
 2
3
4 5
